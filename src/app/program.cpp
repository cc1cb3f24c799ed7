#include "app/program.h"

#include "app/window_conf_view.h"
#include "platform/hotkeys.h"
#include "platform/hotkeys_activation.h"
#include "platform/message_boxes.h"
#include "platform/power.h"
#include "reading/reader.h"
#include "storage/conf.h"
#include "ui/closing_dialog.h"
#include "ui/main_window.h"
#include "ui/speed_button.h"
#include "ui/splash.h"
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
    if (!m_destroyed && Form1)
        FormDestroy();
    reader.reset();
    delete Form3;
    delete Form2;
    delete Form1;
}

void Program::start() {
    m_platform.power.acquire();
    Form1 = new TForm1;
    library = std::make_unique<WordLibrary>();
    Form2 = new TForm2;
    reader = std::make_unique<Reader>(*Form1, *Form2, state, *library,
                                      Reader::Services{m_platform.boxes, m_platform.hotkeys,
                                                       m_platform.clock, m_platform.timeFormat,
                                                       m_platform.libraryPath});
    reader->stopRequested = [this] { return m_stopRequested; };
    connect(Form1, &TForm1::closeRequested, this, &Program::FormCloseQuery);
    connect(Form1, &TForm1::deactivated, this, &Program::FormDeactivate);
    connect(Form1->StatusBar1, &StatusBar::clicked, this,
            [this] { StatusBar1Click(m_platform.opener, m_platform.pageUrl); });
    connect(Form2->SpeedButton1, &SpeedButton::clicked, this, &Program::Form2SpeedButton1Click);
    connect(Form2->SpeedButton2, &SpeedButton::clicked, this, &Program::Form2SpeedButton2Click);
    connect(Form2->ProgressBar1, &StateProgressBar::mousePressed, this,
            &Program::Form2ProgressBar1MouseDown);
    // The program ends when the event loop has ended after a close, also
    // when its windows are hidden in the meantime.
    Form1->setAttribute(Qt::WA_QuitOnClose, false);
    Form2->setAttribute(Qt::WA_QuitOnClose, false);
    Form1->StatusBar1->setPanelText(0, m_platform.pageUrl.toString());
    Form1->StatusBar1->setPanelText(1, programVersion());
    FormCreate();

    Form3 = new TForm3;
    Form3->setAttribute(Qt::WA_QuitOnClose, false);
    Form3->centerOnScreen();
    Form3->show();
    FormShow();
    Form1->show();
}

int Program::exec() {
    const int code = m_loop.exec();
    Q_EMIT loopEnded();
    FormDestroy();
    return code;
}

int Program::run() {
    start();
    return exec();
}

void Program::FormCreate() {
    connect(&m_platform.activation, &ApplicationActivation::activated, reader.get(),
            &Reader::AppActivate);
    connect(&m_platform.activation, &ApplicationActivation::deactivated, reader.get(),
            &Reader::AppDeactivate);
    Form1->resize(TForm1::clientWidth, 200);
    Form1->showEntry(contactLeft(), contactLetter(), contactRest());
    Form1->Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    reader->LoadLib();
    Form1->SpeedButton5->clickFromCode();
    state.boo = true;
    checkupdate(m_platform.http, m_platform.boxes, m_platform.opener, Form1,
                Form1->StatusBar1->panelText(1), m_platform.versionUrl, m_platform.pageUrl);
}

void Program::FormShow() {
    WindowConfView view(*this, m_platform);
    LoadConf(view, state, m_platform.iniPath, m_platform.clock, m_platform.timeFormat);
}

void Program::FormDeactivate() {
    // Only a switch to another window of the program counts; a switch to
    // another application releases the keys through AppDeactivate.
    if (QApplication::activeWindow() != nullptr)
        reader->AppActivate();
}

void Program::FormCloseQuery(QCloseEvent* event) {
    Form2->centerOn(Form1);
    Form2->show();
    Form1->setEnabled(false);
    if (Form1->SpeedButton2->text() == Reader::pauseCaption())
        reader->SpeedButton2Click();
    // The close is always allowed. The window stays on screen, disabled,
    // until the event loop ends: at once, or when a running preparation of
    // the text returns.
    event->ignore();
    m_closing = true;
    m_loop.exit(0);
}

void Program::FormDestroy() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    reader->Timer1.setEnabled(false);
    reader->Timer2.setEnabled(false);
    reader->Timer3.setEnabled(false);
    reader->SaveLib();
    WindowConfView view(*this, m_platform);
    SaveConf(view, state, m_platform.iniPath);
    m_platform.hotkeys.releaseAll();
    m_platform.power.release();
}

void Program::Form2SpeedButton1Click() {
    QFont font = Form2->SpeedButton1->font();
    font.setPointSize(11);
    Form2->SpeedButton1->setFont(font);
    m_stopRequested = true;
}

void Program::Form2SpeedButton2Click() {
    Form1->hide();
    Form2->hide();
}

void Program::Form2ProgressBar1MouseDown() {
    Form2->hide();
    Form1->setEnabled(true);
}
