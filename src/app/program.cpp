#include "app/program.h"

#include "app/window_settings_view.h"
#include "platform/atomic_save.h"
#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "reading/reader.h"
#include "storage/settings.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
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

Program::Program(Platform platform, QObject* parent)
    : QObject(parent), m_platform(std::move(platform)) {}

Program::~Program() {
    if (!m_destroyed && mainWindow)
        saveAndRelease();
    reader.reset();
    delete splash;
    delete closingDialog;
    delete mainWindow;
}

void Program::start() {
    QApplication::setWindowIcon(programIcon());
    removeStaleSaveTemporaries({m_platform.iniPath, m_platform.libraryPath});
    mainWindow = new MainWindow;
    library = std::make_unique<WordLibrary>();
    closingDialog = new ClosingDialog;
    reader = std::make_unique<Reader>(*mainWindow, *closingDialog, state, *library,
                                      Reader::Services{m_platform.boxes, m_platform.hotkeys,
                                                       m_platform.clock, m_platform.timeFormat,
                                                       m_platform.libraryPath});
    reader->setStopRequest([this] { return m_stopRequested; });
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
    prepareMainWindow();

    splash = new SplashWindow;
    splash->setAttribute(Qt::WA_QuitOnClose, false);
    splash->centerOnScreen();
    splash->show();
    splash->paintNow();
    restoreSettings();
    mainWindow->show();
}

int Program::exec() {
    const int code = m_loop.exec();
    Q_EMIT loopEnded();
    saveAndRelease();
    return code;
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
    mainWindow->resize(MainWindow::clientWidth, 200);
    mainWindow->showEntry(contactLeft(), contactLetter(), contactRest());
    mainWindow->textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    reader->loadLibrary();
    mainWindow->faceBButton->clickFromCode();
    state.explainLearningMode = true;
    // A build without a web server asks nobody.
    if (!m_platform.versionUrl.isEmpty()) {
        checkForUpdate(m_platform.http, m_platform.boxes, m_platform.opener, mainWindow,
                       mainWindow->statusBar->panelText(1), m_platform.versionUrl,
                       m_platform.pageUrl);
    }
}

void Program::restoreSettings() {
    WindowSettingsView view(*this, m_platform);
    loadSettings(view, state, m_platform.iniPath, m_platform.clock, m_platform.timeFormat);
    reader->takeTextAsBook();
    // The restore released the keys; they are the reader's from start-up.
    reader->takeKeys();
}

void Program::mainWindowDeactivated() {
    // Only a switch to another window of the program counts; a switch to
    // another application releases the keys through releaseKeys.
    if (QApplication::activeWindow() != nullptr)
        reader->takeKeys();
}

void Program::beginClosing(QCloseEvent* event) {
    closingDialog->centerOn(mainWindow);
    closingDialog->show();
    mainWindow->setEnabled(false);
    if (mainWindow->pauseButton->text() == Reader::pauseCaption())
        reader->togglePause();
    // The close is always allowed. The window stays on screen, disabled,
    // until the event loop ends: at once, or when a running preparation of
    // the text returns.
    event->ignore();
    m_closing = true;
    m_loop.exit(0);
}

void Program::saveAndRelease() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    reader->wordTimer.setEnabled(false);
    reader->statisticsTimer.setEnabled(false);
    reader->libraryTimer.setEnabled(false);
    // The saves of a long book take a while: the closing dialog and the
    // paused window are on screen first.
    closingDialog->paintNow();
    mainWindow->repaint();
    reader->saveLibrary();
    WindowSettingsView view(*this, m_platform);
    saveSettings(view, state, m_platform.iniPath);
    m_platform.hotkeys.releaseAll();
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
    closingDialog->hide();
    mainWindow->setEnabled(true);
}
