#pragma once

#include <QString>

class QWidget;

// Asking the reader for a file to open, or for where to save one.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Shows a modal dialog owned by `owner`; returns the chosen file's path,
    // or an empty string when the reader cancelled. `filter` lists the file
    // types the way QFileDialog takes them.
    virtual QString openFile(QWidget* owner, const QString& title, const QString& filter) = 0;
    // The same for a file to write, `suggested` the name offered first (a
    // file's name, or a path). The dialog asks before an existing file is
    // replaced. A dialog that offers no saving answers as cancelled.
    virtual QString saveFile(QWidget* owner, const QString& title, const QString& suggested,
                             const QString& filter) {
        (void)owner;
        (void)title;
        (void)suggested;
        (void)filter;
        return {};
    }
};

// The real implementation: QFileDialog, starting in the folder of the file
// chosen last.
class QtFileDialog final : public FileDialog {
public:
    QString openFile(QWidget* owner, const QString& title, const QString& filter) override;
    QString saveFile(QWidget* owner, const QString& title, const QString& suggested,
                     const QString& filter) override;

private:
    QString m_folder;
};
