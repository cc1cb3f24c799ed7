#include "app/program.h"

#include "app/background_restore.h"
#include "app/book_opener.h"
#include "app/books_wiring.h"
#include "app/chapters_wiring.h"
#include "app/context_chapters.h"
#include "app/final_save.h"
#include "app/shelf_wiring.h"
#include "app/statistics_wiring.h"
#include "app/window_settings_view.h"
#include "platform/atomic_save.h"
#include "platform/desktop_session.h"
#include "platform/free_memory.h"
#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "platform/termination_signals.h"
#include "reading/context_navigation.h"
#include "reading/reader.h"
#include "storage/settings.h"
#include "storage/settings_saver.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"
#include "ui/splash_window.h"
#include "ui/state_progress_bar.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"
#include "update/update_check.h"
#include "words/library.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>

Program::Program(Platform platform, QObject* parent)
    : QObject(parent), m_platform(std::move(platform)), m_boxes(m_platform.boxes) {}

Program::~Program() {
    if (!m_destroyed && mainWindow)
        saveAndRelease();
    chaptersWiring.reset();
    statisticsWiring.reset();
    booksWiring.reset();
    shelfWiring.reset();
    bookOpener.reset();
    settingsSaver.reset();
    contextNavigation.reset();
    reader.reset();
    delete splash;
    delete closingDialog;
    delete mainWindow;
}

void Program::start() {
    // The stored book is read while the windows are made.
    m_restore = std::make_unique<BackgroundRestore>(m_platform.files.settings.readPath());
    QApplication::setWindowIcon(programIcon());
    // Temporaries of killed saves, also beside the files of the old layout.
    const UserFiles& files = m_platform.files;
    QStringList saved{files.settings.path, files.settings.oldPath, files.library.path,
                      files.library.oldPath};
    saved.removeAll(QString());
    removeStaleSaveTemporaries(saved);
    fonts::setLayoutScale(fonts::layoutScaleFor(QApplication::font()));
    mainWindow = new MainWindow;
    library = std::make_unique<WordLibrary>();
    closingDialog = new ClosingDialog;
    reader =
        std::make_unique<Reader>(*mainWindow, *closingDialog, state, *library,
                                 Reader::Services{m_boxes, m_platform.hotkeys, m_platform.clock,
                                                  m_platform.timeFormat, m_platform.files.library});
    reader->setStopRequest([this] { return m_stopRequested; });
    contextNavigation = std::make_unique<ContextNavigation>(*mainWindow, state, *reader);
    contextNavigation->keptClosed = [this] { return m_closing; };
    bookOpener = std::make_unique<BookOpener>(*mainWindow, m_boxes, m_platform.fileDialog);
    settingsSaver = std::make_unique<SettingsSaver>();
    shelfWiring = std::make_unique<ShelfWiring>(files.shelf, *mainWindow, state, *reader,
                                                *bookOpener, m_boxes, m_platform.clock);
    booksWiring = std::make_unique<BooksWiring>(*mainWindow, *shelfWiring, m_boxes);
    chaptersWiring =
        std::make_unique<ChaptersWiring>(*mainWindow, state, *reader, *bookOpener, *shelfWiring);
    statisticsWiring = std::make_unique<StatisticsWiring>(
        *mainWindow, *shelfWiring,
        StatisticsWiring::Services{m_boxes, m_platform.fileDialog, m_platform.clock});
    connectContextToChapters(*mainWindow, *contextNavigation, *chaptersWiring);
    // Sleep is refused only while words are running.
    connect(reader.get(), &Reader::wordsRunningChanged, this, [this](bool running) {
        if (running)
            m_platform.power.acquire();
        else
            m_platform.power.release();
    });
    connect(mainWindow, &MainWindow::closeRequested, this, &Program::beginClosing);
    connect(mainWindow, &MainWindow::deactivated, this, &Program::mainWindowDeactivated);
    connect(mainWindow->statusBar, &StatusBar::clicked, this,
            [this] { openWebPage(m_platform.opener, m_platform.pageUrl); });
    connect(closingDialog->killButton, &FlatButton::clicked, this, &Program::killPreparation);
    connect(closingDialog->hideButton, &FlatButton::clicked, this, &Program::hideWindows);
    connect(closingDialog->progressBar, &StateProgressBar::mousePressed, this,
            &Program::returnToMainWindow);
    // The program ends when the event loop has ended after a close, also
    // when its windows are hidden in the meantime.
    mainWindow->setAttribute(Qt::WA_QuitOnClose, false);
    closingDialog->setAttribute(Qt::WA_QuitOnClose, false);
    mainWindow->statusBar->setPanelText(0, m_platform.pageUrl.toString());
    mainWindow->statusBar->setLinkShown(!m_platform.pageUrl.isEmpty());
    mainWindow->statusBar->setPanelText(1, programVersion());
    connectEndings();
    prepareMainWindow();
    // An end asked for by now (a signal during the update check) skips the
    // rest: nothing restored is nothing to save.
    if (m_closing) {
        m_restore.reset();
        return;
    }

    splash = new SplashWindow;
    splash->setAttribute(Qt::WA_QuitOnClose, false);
    splash->centerOnScreen();
    splash->show();
    splash->paintNow();
    restoreSettings();
    if (!m_closing) {
        mainWindow->keepOnScreen();
        mainWindow->show();
        // Space, Enter or Ctrl+Enter start reading from the first moment.
        mainWindow->startButton->setFocus(Qt::OtherFocusReason);
    }
    // A book from the command line replaces the restored text like a paste;
    // once it is in, the keys are the reader's again, as after the restore.
    if (!m_closing && !m_bookFile.isEmpty())
        openTakingKeys(m_bookFile);
    m_started = true;
}

int Program::exec() {
    // An end asked for during start-up has no loop to leave.
    if (!m_closing)
        m_loop.exec();
    Q_EMIT loopEnded();
    saveAndRelease();
    return m_exitCode;
}

int Program::run() {
    start();
    return exec();
}

void Program::prepareMainWindow() {
    connect(&m_platform.activation, &ApplicationActivation::activated, reader.get(),
            &Reader::takeKeys);
    connect(&m_platform.activation, &ApplicationActivation::deactivated, reader.get(),
            &Reader::releaseKeys);
    mainWindow->resize(fonts::scaled(MainWindow::clientWidth), fonts::scaled(200));
    mainWindow->setFullViewParts(false);
    mainWindow->showEntry(contactLeft(), contactLetter(), contactRest());
    mainWindow->textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    reader->loadLibrary();
    mainWindow->faceBButton->clickFromCode();
    state.explainLearningMode = true;
    // A build without a web server asks nobody.
    if (!m_platform.versionUrl.isEmpty()) {
        checkForUpdate(m_platform.http, m_boxes, m_platform.opener, mainWindow,
                       mainWindow->statusBar->panelText(1), m_platform.versionUrl,
                       m_platform.pageUrl);
    }
}

void Program::restoreSettings() {
    const std::optional<size_t> hash = takeRestoredSettings();
    // An end asked for during the restore takes nothing of it as the book.
    if (m_closing)
        return;
    reader->takeTextAsBook(hash);
    // What the file holds is what the window shows now.
    state.settingsTouched = false;
    state.restoredLook = reader->view().look();
    shelfWiring->restored(m_platform.files.settings.readPath());
    // The restore released the keys; they are the reader's from start-up.
    reader->takeKeys();
    // The file's text and the restore's buffers are gone: their memory goes
    // back to the system instead of waiting in the C library's heap.
    returnFreedMemory();
}

std::optional<size_t> Program::takeRestoredSettings() {
    WindowSettingsView view(*this, m_platform);
    view.releaseHotkeys();
    const std::unique_ptr<BackgroundRestore> restore = std::move(m_restore);
    // The splash moves while the file is read and the text rebuilt.
    while (!restore->waitFor(5)) {
        const BackgroundRestore::Progress p = restore->progress();
        if (p.total > 0) {
            view.splashProgress(p.total, p.done);
            view.processEvents();
        } else {
            view.splashFileProgress(p.filePermille);
        }
        // An end asked for during the restore: nothing restored.
        if (m_closing) {
            view.splashHide();
            return std::nullopt;
        }
    }
    BackgroundRestore::Result r = restore->take();
    if (!r.loaded) {
        keepFromSaves(m_platform.files.settings.readPath());
        view.showMessage(settingsLoadFailedMessage(r.error));
        view.splashHide();
        return std::nullopt;
    }
    applyStoredConfig(view, state, r.config);
    const int entriesBefore = state.entryCount;
    state.entryCount = r.config.textLength;
    if (state.entryCount > 0) {
        view.clearText();
        view.setText(r.text);
    }
    r.text = QString();
    if (m_closing) {
        if (state.entryCount > 0)
            view.clearText();
        state.entryCount = entriesBefore;
        view.splashHide();
        return std::nullopt;
    }
    state.position = r.config.position;
    state.speedBaseline = state.position;
    view.splashHide();
    return state.entryCount > 0 ? r.startTextHash : std::nullopt;
}

void Program::mainWindowDeactivated() {
    // Only a switch to another window of the program counts; a switch to
    // another application releases the keys through releaseKeys.
    if (QApplication::activeWindow() != nullptr)
        reader->takeKeys();
}

void Program::beginClosing(QCloseEvent* event) {
    // The close is always allowed. The window stays on screen, disabled,
    // until the event loop ends: at once, or when a running preparation of
    // the text returns.
    event->ignore();
    close(m_closing ? m_exitCode : 0);
}

void Program::endUnattended(int exitCode) {
    m_boxes.setUnattended();
    // Dialogs waiting for an answer (a message, the update offer) give way,
    // answered as if cancelled.
    for (int i = 0; i < 16; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    if (!m_closing)
        close(exitCode);
}

void Program::close(int exitCode) {
    m_closing = true;
    m_exitCode = exitCode;
    m_boxes.setEnding(closingDialog);
    closingDialog->centerOn(mainWindow);
    closingDialog->show();
    mainWindow->setEnabled(false);
    closingDialog->paintNow();
    if (mainWindow->pauseButton->text() == Reader::pauseCaption())
        reader->togglePauseForClose();
    m_loop.exit(exitCode);
}

void Program::connectEndings() {
    connect(reader.get(), &Reader::stopped, this, &Program::saveOnPause);
    connect(settingsSaver.get(), &SettingsSaver::saveFinished, this, [this](const QString& error) {
        if (!error.isEmpty())
            m_boxes.message(mainWindow, settingsSaveFailedMessage(error));
    });
    if (m_platform.termination) {
        connect(m_platform.termination, &TerminationSignals::received, this,
                [this](int number) { endUnattended(128 + number); });
    }
    // A checkpoint of the session saves and reading goes on; the session's
    // end ends the program.
    auto* session = new DesktopSession(this);
    connect(session, &DesktopSession::checkpoint, this, &Program::saveCheckpoint);
    connect(session, &DesktopSession::ended, this, [this] { endUnattended(0); });
}

void Program::saveCheckpoint() {
    // A close saves on its own.
    if (m_closing)
        return;
    // The session manager takes the saves as done when this returns. Their
    // failures are told once the checkpoint is over. A text still being cut
    // is saved by the pause or the close after it.
    reader->saveLibraryPeriodically();
    shelfWiring->savePlace();
    if (!reader->preparing()) {
        const WindowSettingsView view(*this, m_platform);
        settingsSaver->saveInBackground(view, state, m_platform.files.settings);
    }
    library->waitForSaves();
    settingsSaver->waitForSaves();
    shelfWiring->waitForWrites();
}

void Program::saveOnPause() {
    if (m_closing || reader->preparing())
        return;
    const WindowSettingsView view(*this, m_platform);
    settingsSaver->saveInBackground(view, state, m_platform.files.settings);
}

void Program::saveAndRelease() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    reader->wordTimer.setEnabled(false);
    reader->statisticsTimer.setEnabled(false);
    reader->libraryTimer.setEnabled(false);
    m_platform.hotkeys.releaseAll();
    shelfWiring->savePlace();
    // The saves run on their workers while events turn: the closing dialog
    // says what is saved and takes no one back to the main window, which
    // takes no input meanwhile.
    mainWindow->setEnabled(false);
    if (mainWindow->isVisible()) {
        closingDialog->show();
        mainWindow->repaint();
    }
    closingDialog->paintNow();
    // The last save of the settings covers those still running.
    settingsSaver->forgetResults();
    FinalSave last(*closingDialog, m_platform.clock, m_platform.timeFormat);
    const QString libraryError = last.saveLibrary(*library, m_platform.files.library);
    if (!libraryError.isEmpty())
        m_boxes.message(mainWindow, saveFailedMessage(libraryError));
    const WindowSettingsView view(*this, m_platform);
    const QString settingsError =
        last.saveSettings(*settingsSaver, view, state, m_platform.files.settings);
    if (!settingsError.isEmpty())
        m_boxes.message(mainWindow, settingsSaveFailedMessage(settingsError));
    shelfWiring->waitForWrites();
    m_platform.power.release();
}

void Program::killPreparation() {
    QFont font = closingDialog->killButton->font();
    font.setPointSize(11);
    closingDialog->killButton->setFont(font);
    m_stopRequested = true;
}

void Program::hideWindows() {
    mainWindow->hide();
    closingDialog->hide();
}

void Program::returnToMainWindow() {
    // The last saves take no one back.
    if (m_destroyed)
        return;
    closingDialog->hide();
    // A text still being cut is taken whole before the text box can be edited.
    reader->takeRestOfText();
    mainWindow->setEnabled(true);
}
