#include "reading/reader.h"

#include "platform/clock.h"
#include "platform/display_server.h"
#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "reading/duration.h"
#include "reading/pacing.h"
#include "reading/preparation.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/state_progress_bar.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>

namespace {

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

// Start reads only a text with a plain space (U+0020) in it, not a no-break one.
bool hasSpace(const QTextDocument& document) {
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(QLatin1Char(' ')))
            return true;
    }
    return false;
}

// A button about to be disabled hands the keyboard focus to `heir`, so that
// Space and Enter go on steering the reading instead of reaching whatever
// control comes next.
void handFocus(QWidget* leaving, QWidget* heir) {
    if (leaving->window()->focusWidget() == leaving && heir->isEnabled())
        heir->setFocus(Qt::OtherFocusReason);
}

} // namespace

Reader::Reader(MainWindow& window, ClosingDialog& closing, ReadingState& state,
               WordLibrary& library, Services services, QObject* parent)
    : QObject(parent), m_window(window), m_state(state), m_library(library),
      m_services(std::move(services)),
      m_preparation(*window.textBox->document(), closing, m_services.clock, m_services.timeFormat),
      m_view(window, state, m_services.boxes) {
    connectControls();
    takeTextAsBook();
}

void Reader::connectControls() {
    connect(&wordTimer, &Timer::timeout, this, &Reader::showNextWord);
    // A word counts as shown, and the word timer counts its time, once the
    // display server has drawn it.
    connect(m_window.displayField, &DisplayField::entryShown, this, [] { waitForDisplayServer(); });
    connect(&statisticsTimer, &Timer::timeout, this, &Reader::updateStatistics);
    connect(&libraryTimer, &Timer::timeout, this, &Reader::saveLibraryPeriodically);
    connect(m_window.startButton, &FlatButton::clicked, this, &Reader::start);
    connect(m_window.pauseButton, &FlatButton::clicked, this, &Reader::togglePause);
    connect(m_window.jumpBackButton, &FlatButton::clicked, this, &Reader::jumpBack);
    connect(m_window.restartButton, &FlatButton::clicked, this, &Reader::restart);
    connect(m_window.textBox, &QPlainTextEdit::textChanged, this, &Reader::textEdited);
    connect(m_window.textBox, &TextBox::clicked, this, &Reader::selectAllText);
    // Only a choice of the user raises the change event, not a selection from code.
    connect(m_window.speedList, &QComboBox::activated, this, &Reader::speedChosen);
    connect(&m_services.hotkeys, &Hotkeys::hotkey, this, &Reader::playbackKey);
    connect(&m_window, &MainWindow::playbackKeyPressed, this, &Reader::playbackKey);
    // Space on the focused learning-mode box ticks or clears it.
    m_services.hotkeys.setLeftToFocus(
        [this](int id) { return id == 32 && m_window.focusWidget() == m_window.learningModeBox; });
    // A periodic save that failed says so once per tick.
    connect(&m_library, &WordLibrary::saveFinished, this, [this](const QString& error) {
        if (!error.isEmpty())
            m_services.boxes.message(&m_window, saveFailedMessage(error));
    });
}

qint64 Reader::timeOfDayMs() const {
    return m_services.clock.now().time().msecsSinceStartOfDay();
}

// ---- Start ----

void Reader::start() {
    if (m_window.learningModeBox->isChecked())
        loadLibrary();
    // The text's length as Start cuts it: every line break counts as CR LF.
    QTextDocument* doc = m_window.textBox->document();
    qsizetype length = doc->characterCount() - 1 + (doc->blockCount() - 1);
    if (length < 16) // line separators inside a paragraph count twice too
        length = startText(doc->toRawText()).size();
    if (length < 10)
        return;
    if (!hasSpace(*doc))
        return;
    // The position belongs to the book: it stays for the same text (also
    // when an edit was undone) and starts from the beginning of another.
    const bool sameText = textIsBook();
    if (startPlace)
        m_state.position = qMax(0, startPlace(sameText));
    else if (!sameText)
        m_state.position = 0;
    m_state.speedBaseline = m_state.position;
    m_state.readingTicks = 0;
    m_services.hotkeys.registerAll();
    m_window.pauseButton->setEnabled(true);
    handFocus(m_window.startButton, m_window.pauseButton);
    m_window.startButton->setEnabled(false);
    m_window.restartButton->setEnabled(false);
    m_state.startedAt = m_services.timeFormat.timeToStr(timeOfDayMs());
    m_window.textBox->setEnabled(false);
    m_window.pauseButton->setEnabled(true);
    // Words run: whatever a pause left on the button, it offers a pause now.
    m_window.pauseButton->setText(pauseCaption());
    m_state.statisticsTicks = 0;
    statisticsTimer.setEnabled(false);
    statisticsTimer.setEnabled(true);
    libraryTimer.setEnabled(true);
    const int base = baseInterval(m_window.speedList->currentIndex());
    if (base >= 0)
        m_state.baseIntervalMs = base;
    wordTimer.setInterval(1000);
    setWordsRunning(true);
    m_preparation.run(m_state, length);
}

// ---- The word and statistics ticks ----

void Reader::showEntry(int i) {
    const WordSequence& s = m_state.words;
    m_window.displayField->showEntry(s.left(i), s.letter(i), s.rest(i));
}

void Reader::setWordsRunning(bool on) {
    const bool was = wordTimer.enabled();
    wordTimer.setEnabled(on);
    if (was != on)
        Q_EMIT wordsRunningChanged(on);
}

size_t Reader::hashOfText() const {
    return qHash(startText(m_window.textBox->document()->toRawText()), 0);
}

void Reader::takeTextAsBook(std::optional<size_t> startTextHash) {
    m_book = BookMark{m_window.textBox->document()->characterCount(),
                      startTextHash ? *startTextHash : hashOfText()};
    m_textEdited = false;
}

// At Start: whether the text box holds the book, which then becomes the
// text being started. Another length tells at once; only a text of the
// book's length is compared in full (an undone edit, the book pasted again).
bool Reader::textIsBook() {
    if (!m_textEdited)
        return true;
    m_textEdited = false;
    const int characters = m_window.textBox->document()->characterCount();
    if (characters != m_book.characters) {
        m_book = BookMark{characters, std::nullopt};
        return false;
    }
    if (!m_book.hash)
        m_book.hash = qHash(QStringView(m_state.words.text()), 0);
    const size_t now = hashOfText();
    const bool same = now == *m_book.hash;
    m_book.hash = now;
    return same;
}

void Reader::endReading() {
    m_window.textBox->setEnabled(true);
    setWordsRunning(false);
    libraryTimer.setEnabled(false);
    statisticsTimer.setEnabled(false);
    m_window.startButton->setEnabled(true);
    handFocus(m_window.pauseButton, m_window.startButton);
    m_window.pauseButton->setEnabled(false);
    m_window.restartButton->setEnabled(true);
    Q_EMIT stopped();
}

void Reader::showNextWord() {
    const WordSequence& words = m_state.words;
    int& position = m_state.position;
    if (!words.holds(position)) {
        // The slot is not cut yet: wait for it with the interval unchanged.
        if (preparing())
            return;
        // The text ended before the position: end reading at its last entry.
        if (words.written() > 0) {
            position = words.written() - 1;
            showEntry(position);
        }
        endReading();
        return;
    }
    const int multiplier =
        m_library.checkWord(words.left(position), words.letter(position), words.rest(position),
                            m_window.learningModeBox->isChecked());
    wordTimer.setInterval(static_cast<unsigned>(
        wordInterval(m_state.baseIntervalMs, multiplier, words.rest(position))));
    showEntry(position);
    if (words.isWord(position))
        ++m_state.wordsShown;
    if (words.holds(qint64(position) + 1) || preparing())
        ++position;
    else
        endReading();
}

void Reader::updateStatistics() {
    if (m_state.statisticsTicks > 2100000000)
        statisticsTimer.setEnabled(false);
    ++m_state.statisticsTicks;
    // The speed counts the time spent reading: paused seconds do not count.
    if (wordTimer.enabled())
        ++m_state.readingTicks;
    const qint64 start = m_services.timeFormat.strToTime(m_state.startedAt);
    const qint64 since =
        ((timeOfDayMs() - qMax<qint64>(start, 0)) % msPerDay + msPerDay) % msPerDay;
    m_window.readingTimeLabel->setText(durationText(since));
    m_window.wordsReadLabel->setText(QString::number(m_state.position) + QStringLiteral(" / ") +
                                     QString::number(qint64(m_state.entryCount) - 1));
    const qint64 read = qMax<qint64>(0, qint64(m_state.position) - m_state.speedBaseline);
    const qint64 speed = m_state.readingTicks > 0 ? divRounded(read * 60, m_state.readingTicks) : 0;
    m_window.measuredSpeedLabel->setText(QString::number(speed));
    QProgressBar* bar = m_window.progressBar;
    if (m_state.entryCount > 0)
        bar->setMaximum(m_state.entryCount - 1);
    bar->setValue(qBound(bar->minimum(), m_state.position, bar->maximum()));
}

void Reader::saveLibraryPeriodically() {
    if (m_services.library.keptFromSaves())
        return;
    makeFolderFor(m_services.library.path);
    m_library.saveAsync(m_services.library.path);
}

// ---- The word library's file ----

void Reader::loadLibrary() {
    const QString error = m_library.load(m_services.library.readPath());
    if (!error.isEmpty())
        m_services.boxes.message(&m_window, loadFailedMessage(error));
}

void Reader::saveLibrary() {
    if (m_services.library.keptFromSaves())
        return;
    makeFolderFor(m_services.library.path);
    const QString error = m_library.save(m_services.library.path);
    if (!error.isEmpty())
        m_services.boxes.message(&m_window, saveFailedMessage(error));
}

// ---- Playback controls ----

void Reader::togglePause() {
    toggle(true);
}

void Reader::togglePauseForClose() {
    toggle(false);
}

void Reader::takeRestOfText() {
    m_preparation.takeRestOfText();
}

void Reader::toggle(bool takeRestOfText) {
    if (wordTimer.enabled()) {
        // The text being cut is taken whole before the text box can be edited.
        if (takeRestOfText)
            m_preparation.takeRestOfText();
        m_window.restartButton->setEnabled(true);
        m_window.textBox->setEnabled(true);
        setWordsRunning(false);
        m_window.pauseButton->setText(resumeCaption());
        Q_EMIT stopped();
    } else {
        m_window.restartButton->setEnabled(false);
        m_window.textBox->setEnabled(false);
        setWordsRunning(true);
        m_window.pauseButton->setText(pauseCaption());
    }
}

int Reader::jumpBackStep(int speedIndex) {
    return ((speedIndex + 1) * 200 / 60) * 5;
}

void Reader::jumpBack() {
    // Before the first Start of a run there is no sequence to move in.
    if (m_state.words.isEmpty())
        return;
    m_state.position -= jumpBackStep(m_window.speedList->currentIndex());
    if (m_state.position < 1)
        m_state.position = 0;
    if (m_state.words.holds(m_state.position))
        showEntry(m_state.position);
    // Running words pause on the entry moved to. Stopped words stay stopped,
    // also after the end of the text: Start (or Space) reads on from there.
    if (wordTimer.enabled())
        togglePause();
}

void Reader::restart() {
    allowStart();
    m_state.position = 0;
    m_state.speedBaseline = 0;
    // Before any Start the bookmark of the stored book is kept at 0.
    m_state.settingsTouched = true;
    // Before the first Start of a run there is no entry to show.
    if (!m_state.words.isEmpty())
        showEntry(0);
    Q_EMIT restarted();
}

void Reader::allowStart() {
    m_window.startButton->setEnabled(true);
    handFocus(m_window.pauseButton, m_window.startButton);
    m_window.pauseButton->setEnabled(false);
    m_services.hotkeys.releaseAll();
}

// An edit leaves the position and the word sequence alone: both belong to the
// book until another text is started.
void Reader::textEdited() {
    allowStart();
    m_textEdited = true;
}

void Reader::selectAllText() {
    m_window.textBox->selectAll();
}

void Reader::speedChosen() {
    const int base = baseInterval(m_window.speedList->currentIndex());
    if (base >= 0)
        m_state.baseIntervalMs = base;
    wordTimer.setInterval(static_cast<unsigned>(qMax(m_state.baseIntervalMs, 0)));
}

bool Reader::focusTakesSpaceAndEnter() const {
    const QWidget* focus = m_window.focusWidget();
    for (const QWidget* own :
         {static_cast<QWidget*>(m_window.textBox), static_cast<QWidget*>(m_window.speedList),
          static_cast<QWidget*>(m_window.learningModeBox)}) {
        if (focus && (focus == own || own->isAncestorOf(focus)))
            return true;
    }
    return false;
}

void Reader::playbackKey(int id) {
    QComboBox* speed = m_window.speedList;
    if (id == 13 || id == 32) {
        if (m_window.pauseButton->isEnabled())
            m_window.pauseButton->clickFromCode();
        else if (m_window.startButton->isEnabled() && !focusTakesSpaceAndEnter()) {
            // The first word comes a second after Start, as after a click.
            m_window.startButton->clickFromCode();
            return;
        }
    } else if (id == 107 || id == 38) {
        if (speed->currentIndex() < 17)
            speed->setCurrentIndex(speed->currentIndex() + 1);
    } else if (id == 109 || id == 40) {
        if (speed->currentIndex() > 0)
            speed->setCurrentIndex(speed->currentIndex() - 1);
    }
    speedChosen();
}

void Reader::takeKeys() {
    m_services.hotkeys.registerAll();
}

void Reader::releaseKeys() {
    m_services.hotkeys.releaseAll();
}
