#include "platform/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString QtFileDialog::openFile(QWidget* owner, const QString& title, const QString& filter) {
    if (m_folder.isEmpty())
        m_folder = QDir::homePath();
    const QString path = QFileDialog::getOpenFileName(owner, title, m_folder, filter);
    if (!path.isEmpty())
        m_folder = QFileInfo(path).absolutePath();
    return path;
}

QString QtFileDialog::saveFile(QWidget* owner, const QString& title, const QString& suggested,
                               const QString& filter) {
    if (m_folder.isEmpty())
        m_folder = QDir::homePath();
    const QString start =
        QFileInfo(suggested).isAbsolute() ? suggested : QDir(m_folder).filePath(suggested);
    const QString path = QFileDialog::getSaveFileName(owner, title, start, filter);
    if (!path.isEmpty())
        m_folder = QFileInfo(path).absolutePath();
    return path;
}
