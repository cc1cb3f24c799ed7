#include "app/chapters_wiring.h"

#include "app/book_opener.h"
#include "app/shelf_wiring.h"
#include "books/text_headings.h"
#include "reading/book_identity.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "reading/reading_state.h"
#include "shelf/shelf_worker.h"
#include "ui/chapters_window.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>

namespace {

size_t hashOf(QStringView text) {
    return qHash(text, 0);
}

} // namespace

ChaptersWiring::ChaptersWiring(MainWindow& window, ReadingState& state, Reader& reader,
                               BookOpener& opener, ShelfWiring& shelf, QObject* parent)
    : QObject(parent), m_window(window), m_state(state), m_reader(reader), m_opener(opener),
      m_shelf(shelf) {
    connect(window.chaptersAction, &QAction::triggered, this, &ChaptersWiring::show);
    connect(&opener, &BookOpener::finished, this, [this](bool placed) {
        if (!placed)
            return;
        const BookOpener::OpenedBook& book = m_opener.opened();
        const QString cut = startText(book.text);
        m_opened = {cut.size(), hashOf(cut), startTextMarks(book.text, book.chapters)};
    });
    const auto refresh = [this] { refreshTimeLeft(); };
    connect(&reader.statisticsTimer, &Timer::timeout, this, refresh);
    connect(&reader, &Reader::stopped, this, refresh);
    connect(&reader, &Reader::restarted, this, refresh);
    connect(&reader, &Reader::wordsRunningChanged, this, refresh);
    connect(window.speedList, &QComboBox::currentIndexChanged, this, refresh);
    connect(window.learningModeBox, &QCheckBox::toggled, this, refresh);
}

ChaptersWiring::~ChaptersWiring() {
    delete m_list;
}

const WordSequence& ChaptersWiring::subject() {
    if (!m_state.words.isEmpty() && !m_reader.preparing())
        return m_state.words;
    const QTextDocument* doc = m_window.textBox->document();
    if (m_asideRevision != doc->revision()) {
        cutWhole(m_aside, doc->toRawText());
        m_asideRevision = doc->revision();
    }
    return m_aside;
}

const QList<Chapter>& ChaptersWiring::chapters() {
    const WordSequence& words = subject();
    if (words.generation() != m_chaptersOf) {
        m_chaptersOf = words.generation();
        m_chapters = findChapters(words, &words == &m_state.words);
    }
    return m_chapters;
}

QList<Chapter> ChaptersWiring::findChapters(const WordSequence& words, bool started) {
    if (words.isEmpty())
        return {};
    ShelfWorker* shelf = m_shelf.shelf();
    const int count = words.written();
    QString fingerprint;
    if (shelf)
        fingerprint = started && !m_shelf.currentBook().isEmpty() ? m_shelf.currentBook()
                                                                  : bookFingerprint(words.text());
    // The text the book file gave: its own marks, kept on the shelf for when
    // the book comes back without its file.
    const QString& text = words.text();
    if (!m_opened.marks.isEmpty() && text.size() == m_opened.length &&
        hashOf(text) == m_opened.hash) {
        const QList<Chapter> found = chapterEntries(words, m_opened.marks);
        if (shelf && !found.isEmpty()) {
            QList<ShelfChapter> kept;
            kept.reserve(found.size());
            for (const Chapter& c : found)
                kept.append({c.entry, c.title});
            shelf->saveChapters(fingerprint, count, kept);
        }
        if (!found.isEmpty())
            return found;
    }
    if (shelf) {
        QList<Chapter> kept;
        for (const ShelfChapter& c : shelf->chapters(fingerprint, count))
            kept.append({c.entry, c.title});
        kept = soundChapters(std::move(kept), count);
        if (!kept.isEmpty())
            return kept;
    }
    return chapterEntries(words, textHeadings(text));
}

void ChaptersWiring::show() {
    if (!m_list) {
        m_list = new ChaptersWindow(&m_window);
        connect(m_list, &ChaptersWindow::chapterChosen, this, [this](int row) {
            if (row >= 0 && row < m_listed.size())
                goTo(m_listed[row]);
        });
    }
    const QList<Chapter>& list = chapters();
    const int count = subject().written();
    m_listed.clear();
    if (list.isEmpty()) {
        m_list->setEmptyText(count == 0 ? QStringLiteral("Текста для чтения нет.")
                                        : QStringLiteral("В этой книге нет глав: ни файл книги, "
                                                         "ни её текст не отмечают их."));
    } else {
        QList<ChaptersWindow::Row> rows;
        rows.reserve(list.size());
        for (const Chapter& c : list) {
            rows.append({c.title, static_cast<int>(qint64(c.entry) * 100 / qMax(1, count))});
            m_listed.append(c.entry);
        }
        m_list->setRows(rows, chapterAt(list, m_state.position));
    }
    m_list->show();
    m_list->raise();
    m_list->activateWindow();
}

void ChaptersWiring::goTo(int entry) {
    if (entry < 0)
        return;
    m_state.position = entry;
    // Also before any Start the bookmark follows the move.
    m_state.settingsTouched = true;
    const WordSequence& words = m_state.words;
    if (words.holds(entry))
        m_window.showEntry(words.left(entry), words.letter(entry), words.rest(entry));
    // Running words pause on the chapter's first entry; stopped words stay
    // stopped, and Start (or Space) reads on from there.
    if (m_reader.wordTimer.enabled())
        m_reader.togglePause();
    else
        m_shelf.savePlace();
    refreshTimeLeft();
    Q_EMIT moved(entry);
}

QString ChaptersWiring::refreshTimeLeft() {
    const WordSequence& words = m_state.words;
    QString caption = informationCaption();
    QString line;
    if (!words.isEmpty()) {
        m_profile.update(words);
        const int listed = baseInterval(m_window.speedList->currentIndex());
        const int base = listed >= 0 ? listed : m_state.baseIntervalMs;
        const bool learning = m_window.learningModeBox->isChecked();
        // Chapters are looked for once the whole text is cut.
        static const QList<Chapter> none;
        const QList<Chapter>& list = m_reader.preparing() ? none : chapters();
        const int count = words.written();
        const TimeLeft left =
            timeLeftAt(m_profile, list, qBound(0, m_state.position, count), count, base);
        if (!m_reader.preparing()) {
            caption = informationCaption(left, learning);
            line = timeLeftLine(left, learning);
        }
    }
    QGroupBox* box = m_window.informationBox;
    if (box->title() != caption) {
        box->setTitle(caption);
        box->setToolTip(line);
    }
    if (line != m_timeLeftText) {
        m_timeLeftText = line;
        Q_EMIT timeLeftTextChanged(line);
    }
    return line;
}
