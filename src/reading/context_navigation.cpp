#include "reading/context_navigation.h"

#include "reading/reader.h"
#include "ui/context_panel.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QAction>
#include <QApplication>
#include <QScreen>

ContextNavigation::ContextNavigation(MainWindow& window, ReadingState& state, Reader& reader,
                                     QObject* parent)
    : QObject(parent), m_window(window), m_state(state), m_reader(reader) {
    connect(&reader, &Reader::stopped, this, [this] {
        if (!keptClosed || !keptClosed())
            open();
    });
    connect(&reader, &Reader::wordsRunningChanged, this, [this](bool running) {
        if (running)
            close();
    });
    connect(&reader, &Reader::restarted, this, &ContextNavigation::close);
    // Another text in the box: the sequence shown is not what Start will read.
    connect(window.textBox, &QPlainTextEdit::textChanged, this, &ContextNavigation::close);
    // The jump back moves the position also while stopped.
    connect(window.jumpBackButton, &FlatButton::clicked, this, [this] {
        if (m_open)
            open();
    });
    connect(window.contextPanel, &ContextPanel::textClicked, this,
            &ContextNavigation::panelClicked);
    addKey(m_left, QKeySequence(Qt::Key_Left), [this] { stepWord(-1); });
    addKey(m_right, QKeySequence(Qt::Key_Right), [this] { stepWord(+1); });
    addKey(m_sentence, QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { stepToSentenceStart(); });
}

// The keys are the window's only while the panel is open; the text box keeps
// its own arrow keys whenever it has the focus.
void ContextNavigation::addKey(QAction*& action, const QKeySequence& key,
                               const std::function<void()>& step) {
    action = new QAction(&m_window);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setEnabled(false);
    m_window.addAction(action);
    connect(action, &QAction::triggered, this, [this, step] {
        if (m_open && !textBoxHasFocus())
            step();
    });
}

bool ContextNavigation::textBoxHasFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == m_window.textBox || m_window.textBox->isAncestorOf(focus));
}

void ContextNavigation::open() {
    const int entry = ReadingContext::shownEntry(m_state.words, m_state.position);
    if (entry < 0) {
        close();
        return;
    }
    if (!m_open) {
        m_open = true;
        giveRoom(true);
        for (QAction* key : {m_left, m_right, m_sentence})
            key->setEnabled(true);
    }
    m_span = {};
    show(entry);
}

void ContextNavigation::close() {
    if (!m_open)
        return;
    m_open = false;
    m_span = {};
    for (QAction* key : {m_left, m_right, m_sentence})
        key->setEnabled(false);
    giveRoom(false);
}

void ContextNavigation::giveRoom(bool room) {
    if (!room) {
        m_window.setContextRoom(0);
        if (m_moved && m_window.pos() == m_movedTo)
            m_window.move(m_before);
        m_moved = false;
        return;
    }
    int height = panelRoom;
    if (const QScreen* screen = m_window.screen()) {
        const int frame = qMax(m_window.frameGeometry().height() - m_window.height(), 0);
        const int free = screen->availableGeometry().height() - frame - m_window.height();
        height = qBound(minimumRoom, free, panelRoom);
    }
    const QPoint before = m_window.pos();
    m_window.setContextRoom(height);
    m_window.keepOnScreen();
    m_moved = m_window.pos() != before;
    m_before = before;
    m_movedTo = m_window.pos();
}

// Shows `entry` in the display field and marks it in the panel, laying out
// a new stretch of text only when it lies outside the one shown.
void ContextNavigation::show(int entry) {
    const WordSequence& words = m_state.words;
    m_window.showEntry(words.left(entry), words.letter(entry), words.rest(entry));
    ContextPanel* panel = m_window.contextPanel;
    if (m_span.covers(entry) && m_span.current >= 0) {
        m_span.current = entry;
        const auto [start, length] = ReadingContext::wordRange(words, m_span, entry);
        panel->setMark(start, length);
        return;
    }
    m_span = ReadingContext::spanAround(words, entry);
    const auto [start, length] = ReadingContext::wordRange(words, m_span, entry);
    panel->setText(ReadingContext::panelText(words, m_span), start, length);
}

void ContextNavigation::moveTo(int entry) {
    if (!m_open || !m_state.words.holds(entry))
        return;
    m_state.position = entry;
    show(entry);
    Q_EMIT moved(entry);
}

void ContextNavigation::stepWord(int direction) {
    if (!m_open)
        return;
    const WordSequence& words = m_state.words;
    const int to = direction < 0 ? ReadingContext::previousWord(words, m_span.current)
                                 : ReadingContext::nextWord(words, m_span.current);
    if (to >= 0)
        moveTo(to);
}

void ContextNavigation::stepToSentenceStart() {
    if (!m_open)
        return;
    const int to = ReadingContext::sentenceStart(m_state.words, m_span.current);
    if (to >= 0)
        moveTo(to);
}

void ContextNavigation::panelClicked(qsizetype index) {
    if (!m_open)
        return;
    const int entry = m_span.entryAt(m_span.begin + index);
    if (entry >= 0)
        moveTo(entry);
}
