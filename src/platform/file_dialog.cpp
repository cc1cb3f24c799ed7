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
