#pragma once

#include <QString>

class QWidget;

// Asking the reader for a file to open.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Shows a modal dialog owned by `owner`; returns the chosen file's path,
    // or an empty string when the reader cancelled. `filter` lists the file
    // types the way QFileDialog takes them.
    virtual QString openFile(QWidget* owner, const QString& title, const QString& filter) = 0;
};

// The real implementation: QFileDialog, starting in the folder of the file
// chosen last.
class QtFileDialog final : public FileDialog {
public:
    QString openFile(QWidget* owner, const QString& title, const QString& filter) override;

private:
    QString m_folder;
};
