#include "reading/reader.h"

#include "platform/clock.h"
#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "reading/pacing.h"
#include "reading/preparation.h"
#include "ui/closing_dialog.h"
#include "ui/main_window.h"
#include "ui/speed_button.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// Characters cut between two looks at the clock, and the longest stretch of
// cutting before pending events get their turn.
constexpr qsizetype sliceChars = 4096;
constexpr qsizetype gatherChars = 32768;
constexpr qint64 yieldAfterNs = 1'000'000;
constexpr qint64 msPerDay = 24LL * 60 * 60 * 1000;

// n / d rounded to the nearest integer, an exact half to the even neighbour.
qint64 divRounded(qint64 n, qint64 d) {
    qint64 q = n / d;
    qint64 r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q % 2 != 0)))
        ++q;
    return q;
}

} // namespace

Reader::Reader(TForm1& form, TForm2& closing, ReadingState& state, WordLibrary& library,
               Services services, QObject* parent)
    : QObject(parent), m_form(form), m_closing(closing), m_state(state), m_library(library),
      m_services(std::move(services)) {
    connectControls();
}

void Reader::connectControls() {
    connect(&Timer1, &Timer::timeout, this, &Reader::Timer1Timer);
    connect(&Timer2, &Timer::timeout, this, &Reader::Timer2Timer);
    connect(&Timer3, &Timer::timeout, this, &Reader::Timer3Timer);
    connect(m_form.SpeedButton1, &SpeedButton::clicked, this, &Reader::SpeedButton1Click);
    connect(m_form.SpeedButton2, &SpeedButton::clicked, this, &Reader::SpeedButton2Click);
    connect(m_form.SpeedButton3, &SpeedButton::clicked, this, &Reader::SpeedButton3Click);
    connect(m_form.SpeedButton4, &SpeedButton::clicked, this, &Reader::SpeedButton4Click);
    connect(m_form.SpeedButton5, &SpeedButton::clicked, this, &Reader::SpeedButton5Click);
    connect(m_form.SpeedButton6, &SpeedButton::clicked, this, &Reader::SpeedButton6Click);
    connect(m_form.SpeedButton7, &SpeedButton::clicked, this, &Reader::SpeedButton7Click);
    connect(m_form.Memo1, &QPlainTextEdit::textChanged, this, &Reader::Memo1Change);
    connect(m_form.Memo1, &TextBox::clicked, this, &Reader::Memo1Click);
    // Only a choice of the user raises the change event, not a selection from code.
    connect(m_form.ComboBox1, &QComboBox::activated, this, &Reader::ComboBox1Change);
    connect(m_form.CheckBox1, &QCheckBox::toggled, this, &Reader::CheckBox1Click);
    connect(m_form.ProgressBar1, &StateProgressBar::mousePressed, this,
            &Reader::ProgressBar1MouseDown);
    connect(&m_services.hotkeys, &Hotkeys::hotkey, this, &Reader::WMHotKey);
    // A periodic save that failed says so once per tick.
    connect(&m_library, &WordLibrary::saveFinished, this, [this](const QString& error) {
        if (!error.isEmpty())
            m_services.boxes.message(&m_form, saveFailedMessage(error));
    });
}

qint64 Reader::timeOfDayMs() const {
    return m_services.clock.now().time().msecsSinceStartOfDay();
}

// ---- Start and the preparation of the text ----

void Reader::SpeedButton1Click() {
    if (m_form.CheckBox1->isChecked())
        LoadLib();
    // The text's length as Start cuts it: every line break counts as CR LF.
    QTextDocument* doc = m_form.Memo1->document();
    qsizetype length = doc->characterCount() - 1 + (doc->blockCount() - 1);
    if (length < 16) // line separators inside a paragraph count twice too
        length = startText(doc->toRawText()).size();
    if (length < 10)
        return;
    if (doc->find(QStringLiteral(" ")).isNull())
        return;
    m_services.hotkeys.registerAll();
    m_form.SpeedButton1->setEnabled(false);
    m_form.SpeedButton7->setEnabled(false);
    m_state.vrem = m_services.timeFormat.timeToStr(timeOfDayMs());
    m_form.Memo1->setEnabled(false);
    m_form.SpeedButton2->setEnabled(true);
    m_state.j2 = 0;
    Timer2.setEnabled(false);
    Timer2.setEnabled(true);
    Timer3.setEnabled(true);
    const int j = baseInterval(m_form.ComboBox1->currentIndex());
    if (j >= 0)
        m_state.j = j;
    Timer1.setInterval(1000);
    Timer1.setEnabled(true);
    prepare(length);
}

void Reader::prepare(qsizetype length) {
    const quint64 generation = ++m_generation;
    const qint64 rtime = timeOfDayMs();
    Preparation p(m_state.sarr, QString());
    m_state.sarr.reserveText(length);
    // Books give an entry for every five or six characters; room for more
    // than that keeps the sequence from moving while it is being cut.
    m_state.sarr.reserve(length / 4 + 16);
    m_state.k1 = static_cast<int>(qMin<qsizetype>(length / 5, INT_MAX));
    ++m_preparing;
    QProgressBar* progress = m_closing.ProgressBar1;
    progress->setMaximum(m_state.k1);

    // The text is taken from the text box paragraph by paragraph, a slice at
    // a time, so that even a whole novel never holds up pending events.
    QTextDocument* doc = m_form.Memo1->document();
    QTextBlock block = doc->begin();
    int blockNumber = 0;
    int revision = doc->revision();
    bool gathered = false;
    QString piece;

    QElapsedTimer sinceYield;
    sinceYield.start();
    bool abandoned = false;
    for (;;) {
        if (!gathered && p.length() - p.visited() < sliceChars) {
            piece.clear();
            while (block.isValid() && piece.size() < gatherChars) {
                const QTextBlock next = block.next();
                appendStartText(piece, block.text());
                if (next.isValid())
                    piece += QLatin1String("\r\n");
                block = next;
                ++blockNumber;
            }
            gathered = !block.isValid();
            p.appendText(piece);
        }
        const bool done = p.step(sliceChars) && gathered;
        progress->setMaximum(m_state.k1);
        progress->setValue(qMin(p.k(), m_state.k1));
        if (p.k() > 0) {
            const qint64 elapsed = timeOfDayMs() - rtime;
            const qint64 total = elapsed * m_state.k1 / p.k();
            const qint64 left = total - (timeOfDayMs() - rtime);
            m_closing.Label5->setText(QStringLiteral("Осталось: ") +
                                      m_services.timeFormat.timeToStr(left));
        }
        if (done)
            break;
        if (sinceYield.nsecsElapsed() >= yieldAfterNs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            sinceYield.restart();
            if (generation != m_generation) {
                // A second Start cut the current text; this loop's text is gone.
                abandoned = true;
                break;
            }
            if (doc->revision() != revision) {
                // The text was edited during a pause: go on from the same
                // paragraph of the edited text.
                revision = doc->revision();
                block = doc->findBlockByNumber(blockNumber);
                gathered = gathered || !block.isValid();
            }
        }
        if (stopRequested && stopRequested())
            break;
    }
    --m_preparing;
    if (!abandoned)
        m_state.k1 = p.k();
}

// ---- The word and statistics ticks ----

void Reader::showEntry(int i) {
    const WordSequence& s = m_state.sarr;
    m_form.Panel4->showEntry(s.left(i), s.letter(i), s.rest(i));
}

void Reader::endReading() {
    m_form.Memo1->setEnabled(true);
    Timer1.setEnabled(false);
    Timer3.setEnabled(false);
    Timer2.setEnabled(false);
    m_form.SpeedButton1->setEnabled(true);
    m_form.SpeedButton2->setEnabled(false);
    m_form.SpeedButton7->setEnabled(true);
}

void Reader::Timer1Timer() {
    const WordSequence& s = m_state.sarr;
    int& sh = m_state.sh;
    if (!s.holds(sh)) {
        // The slot is not cut yet: wait for it with the interval unchanged.
        if (preparing())
            return;
        // The text ended before the position: end reading at its last entry.
        if (s.written() > 0) {
            sh = s.written() - 1;
            showEntry(sh);
        }
        endReading();
        return;
    }
    const int k =
        m_library.CheckLib(s.left(sh), s.letter(sh), s.rest(sh), m_form.CheckBox1->isChecked());
    Timer1.setInterval(static_cast<unsigned>(wordInterval(m_state.j, k, s.rest(sh))));
    showEntry(sh);
    if (s.holds(qint64(sh) + 1) || preparing())
        ++sh;
    else
        endReading();
}

void Reader::Timer2Timer() {
    if (m_state.j2 > 2100000000)
        Timer2.setEnabled(false);
    ++m_state.j2;
    const qint64 start = m_services.timeFormat.strToTime(m_state.vrem);
    const qint64 since =
        ((timeOfDayMs() - qMax<qint64>(start, 0)) % msPerDay + msPerDay) % msPerDay;
    m_form.Label13->setText(m_services.timeFormat.timeToStr(since));
    m_form.Label14->setText(QString::number(m_state.sh) + QStringLiteral(" / ") +
                            QString::number(qint64(m_state.k1) - 1));
    const qint64 speed = divRounded((qint64(m_state.sh) - m_state.sh1) * 60, m_state.j2);
    m_form.Label15->setText(QString::number(speed));
    QProgressBar* bar = m_form.ProgressBar1;
    if (m_state.k1 > 0)
        bar->setMaximum(m_state.k1 - 1);
    bar->setValue(qBound(bar->minimum(), m_state.sh, bar->maximum()));
}

void Reader::Timer3Timer() {
    m_library.saveAsync(m_services.libraryPath);
}

// ---- The word library's file ----

void Reader::LoadLib() {
    const QString error = m_library.load(m_services.libraryPath);
    if (!error.isEmpty())
        m_services.boxes.message(&m_form, loadFailedMessage(error));
}

void Reader::SaveLib() {
    const QString error = m_library.save(m_services.libraryPath);
    if (!error.isEmpty())
        m_services.boxes.message(&m_form, saveFailedMessage(error));
}

// ---- Playback controls ----

void Reader::SpeedButton2Click() {
    if (Timer1.enabled()) {
        m_form.SpeedButton7->setEnabled(true);
        m_form.Memo1->setEnabled(true);
        Timer1.setEnabled(false);
        m_form.SpeedButton2->setText(resumeCaption());
    } else {
        m_form.SpeedButton7->setEnabled(false);
        m_form.Memo1->setEnabled(false);
        Timer1.setEnabled(true);
        m_form.SpeedButton2->setText(pauseCaption());
    }
}

int Reader::jumpBackStep(int speedIndex) {
    return ((speedIndex + 1) * 200 / 60) * 5;
}

void Reader::SpeedButton3Click() {
    // Before the first Start of a run there is no sequence to move in.
    if (m_state.sarr.isEmpty())
        return;
    m_state.sh -= jumpBackStep(m_form.ComboBox1->currentIndex());
    if (m_state.sh < 1)
        m_state.sh = 0;
    if (m_state.sarr.holds(m_state.sh))
        showEntry(m_state.sh);
    if (m_form.SpeedButton2->text() == pauseCaption())
        m_form.SpeedButton2->clickFromCode();
}

void Reader::SpeedButton7Click() {
    if (m_state.sarr.isEmpty())
        return;
    Memo1Change();
    showEntry(0);
}

void Reader::Memo1Change() {
    m_form.SpeedButton1->setEnabled(true);
    m_form.SpeedButton2->setEnabled(false);
    m_services.hotkeys.releaseAll();
    m_state.sh = 0;
}

void Reader::Memo1Click() {
    m_form.Memo1->selectAll();
}

void Reader::ComboBox1Change() {
    const int j = baseInterval(m_form.ComboBox1->currentIndex());
    if (j >= 0)
        m_state.j = j;
    Timer1.setInterval(static_cast<unsigned>(qMax(m_state.j, 0)));
}

void Reader::WMHotKey(int id) {
    QComboBox* speed = m_form.ComboBox1;
    if (id == 13 || id == 32) {
        if (m_form.SpeedButton2->isEnabled())
            m_form.SpeedButton2->clickFromCode();
    } else if (id == 107 || id == 38) {
        if (speed->currentIndex() < 17)
            speed->setCurrentIndex(speed->currentIndex() + 1);
    } else if (id == 109 || id == 40) {
        if (speed->currentIndex() > 0)
            speed->setCurrentIndex(speed->currentIndex() - 1);
    }
    ComboBox1Change();
}

void Reader::AppActivate() {
    m_services.hotkeys.registerAll();
}

void Reader::AppDeactivate() {
    m_services.hotkeys.releaseAll();
}

void Reader::fontButtonClick(bool faceA) {
    SpeedButton* button = faceA ? m_form.SpeedButton4 : m_form.SpeedButton5;
    const bool small = button->captionFontHeight() == 10;
    button->setCaptionFontHeight(small ? 16 : 10);
    m_form.Panel4->setDisplayFont(faceA ? DisplayField::Face::A : DisplayField::Face::B, small);
}

void Reader::SpeedButton4Click() {
    fontButtonClick(true);
}

void Reader::SpeedButton5Click() {
    fontButtonClick(false);
}

void Reader::SpeedButton6Click() {
    if (m_form.SpeedButton6->text() == QStringLiteral("^^")) {
        m_form.resize(TForm1::clientWidth, 200);
        m_form.SpeedButton6->setText(QStringLiteral("- -"));
    } else {
        m_form.resize(TForm1::clientWidth, 555);
        m_form.SpeedButton6->setText(QStringLiteral("^^"));
    }
}

void Reader::CheckBox1Click() {
    if (m_state.boo) {
        m_services.boxes.message(
            &m_form,
            QStringLiteral(
                "Режим обучения. При включеном режиме, слова, которые отображаются в первый "
                "раз - будут показаны чуть дольше. По началу это будет немного неудобно, но по "
                "мере наполнения вашего со Kestrix словарного запаса - эта функция будет очень "
                "полезна. Редкие слова, а так же названия и имена собственные воспринимаются "
                "сложнее. Дополнительное время на распознование слова поможет избежать этой "
                "проблемы."));
    }
    m_state.boo = false;
}

void Reader::ProgressBar1MouseDown() {
    using State = StateProgressBar::State;
    StateProgressBar* bar = m_form.ProgressBar1;
    switch (bar->state()) {
    case State::Error:
        bar->setState(State::Normal);
        break;
    case State::Paused:
        bar->setState(State::Error);
        break;
    case State::Normal:
        bar->setState(State::Paused);
        break;
    }
}
