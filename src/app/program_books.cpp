// Books that reach the program from outside: a FILE argument at start and a
// file handed over by a second start.
#include "app/book_opener.h"
#include "app/program.h"
#include "platform/message_boxes.h"
#include "reading/reader.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QFileInfo>

#include <memory>

void Program::openTakingKeys(const QString& file) {
    auto taken = std::make_shared<QMetaObject::Connection>();
    *taken = connect(bookOpener.get(), &BookOpener::finished, this, [this, taken] {
        disconnect(*taken);
        reader->takeKeys();
    });
    bookOpener->open(file);
}

void Program::takeHandedOver(const QString& file) {
    if (m_closing || mainWindow == nullptr)
        return;
    // During start-up the file waits for the restore, like a FILE argument.
    if (!m_started) {
        if (!file.isEmpty())
            m_bookFile = file;
        return;
    }
    // Opened as a drop would, and the window comes to the front with the keys
    // the reader's once the book is in, as for a FILE argument. The reader
    // asked for this book: words that run are paused first (the place is kept
    // as at any pause).
    if (!file.isEmpty()) {
        if (reader->wordTimer.enabled())
            reader->togglePause();
        if (mainWindow->textBox->isEnabled() && !bookOpener->busy())
            openTakingKeys(file);
        else
            m_boxes.message(mainWindow,
                            QStringLiteral("Книга «") + QFileInfo(file).fileName() +
                                QStringLiteral("» не открыта: сейчас открывается другая книга. "
                                               "Откройте её снова, когда та откроется."));
    }
    mainWindow->setWindowState(mainWindow->windowState() & ~Qt::WindowMinimized);
    mainWindow->show();
    mainWindow->raise();
    mainWindow->activateWindow();
}
