#include "app/shelf_wiring.h"

#include "app/book_opener.h"
#include "platform/message_boxes.h"
#include "platform/user_files.h"
#include "reading/preparation.h"
#include "reading/reader.h"
#include "reading/reading_state.h"
#include "shelf/shelf_worker.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>

namespace {

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

QString textBoxStartText(const MainWindow& window) {
    return startText(window.textBox->document()->toRawText());
}

} // namespace

QString titleFromText(QStringView text) {
    constexpr qsizetype longest = 60;
    QString title;
    for (const QStringView word : text.tokenize(u' ', Qt::SkipEmptyParts)) {
        const QString clean = word.toString().simplified();
        if (clean.isEmpty())
            continue;
        if (title.size() + 1 + clean.size() > longest) {
            if (title.isEmpty())
                title = clean.left(longest);
            break;
        }
        if (!title.isEmpty())
            title += QLatin1Char(' ');
        title += clean;
    }
    return title;
}

ShelfWiring::ShelfWiring(const QString& shelfPath, MainWindow& window, ReadingState& state,
                         Reader& reader, BookOpener& opener, MessageBoxes& boxes,
                         const Clock& clock, QObject* parent)
    : QObject(parent), m_window(window), m_state(state), m_reader(reader), m_opener(opener),
      m_boxes(boxes), m_sessions(clock) {
    saveTimer.setInterval(saveIntervalMs);
    if (shelfPath.isEmpty())
        return;
    makeFolderFor(shelfPath);
    m_shelf = std::make_unique<ShelfWorker>(shelfPath);
    if (!m_shelf->isOpen())
        return; // told by restored()
    m_reader.startPlace = [this](bool sameText) { return placeAtStart(sameText); };
    connect(&saveTimer, &QTimer::timeout, this, &ShelfWiring::savePlace);
    connect(&m_reader, &Reader::wordsRunningChanged, this, &ShelfWiring::wordsRunning);
    connect(&m_reader, &Reader::stopped, this, &ShelfWiring::savePlace);
    connect(&m_reader, &Reader::restarted, this, &ShelfWiring::savePlace);
    connect(&m_opener, &BookOpener::finished, this, [this](bool placed) {
        if (placed)
            m_openedRevision = m_window.textBox->document()->revision();
    });
}

ShelfWiring::~ShelfWiring() = default;

void ShelfWiring::wordsRunning(bool running) {
    std::optional<ShelfSession> ended;
    if (running) {
        saveTimer.start();
        ended = m_sessions.begin(m_onShelf ? m_current : QString(), m_state.wordsShown,
                                 qBound(0, m_window.speedList->currentIndex(), 17),
                                 m_window.learningModeBox->isChecked());
    } else {
        saveTimer.stop();
        ended = m_sessions.end(m_state.wordsShown);
    }
    if (ended)
        m_shelf->saveSession(*ended);
}

void ShelfWiring::tellFailure(const QString& error, bool opening) {
    if (m_told || error.isEmpty())
        return;
    m_told = true;
    m_boxes.message(&m_window,
                    opening ? shelfFailedMessage(error) : shelfWriteFailedMessage(error));
}

void ShelfWiring::restored(const QString& settingsPath) {
    if (m_shelf && !m_shelf->isOpen()) {
        tellFailure(m_shelf->error(), true);
        m_shelf.reset();
    }
    if (!m_shelf || m_state.entryCount <= 0)
        return;
    // Only a place saved after the settings file can win; the book's
    // fingerprint is taken only then (the first Start takes it otherwise).
    const QFileInfo settings(settingsPath);
    const qint64 settingsSaved =
        settings.exists() ? settings.lastModified().toMSecsSinceEpoch() : 0;
    if (m_shelf->latestSave() <= settingsSaved)
        return;
    const QString text = textBoxStartText(m_window);
    m_current = bookFingerprint(text);
    const std::optional<ShelfBook> book = m_shelf->find(m_current);
    m_onShelf = book.has_value();
    if (book && book->savedAt > settingsSaved) {
        m_state.position = entryOfWord(text, book->wordsBefore);
        m_state.speedBaseline = m_state.position;
    }
}

int ShelfWiring::wordsPerMinute() const {
    return 150 + 50 * qBound(0, m_window.speedList->currentIndex(), 17);
}

int ShelfWiring::placeAtStart(bool sameText) {
    // The same text is cut into the same entries again: the count of words
    // before the place carries over to the new sequence.
    const WordSequence& before = m_state.words;
    if (sameText && before.holds(m_state.position)) {
        m_seed = {true, before.generation(), m_state.position,
                  m_counter.wordsBefore(before, m_state.position)};
    }
    if (sameText && m_onShelf) {
        savePlace();
        return m_state.position;
    }
    const QString text = textBoxStartText(m_window);
    const QString fingerprint = bookFingerprint(text);
    const std::optional<ShelfBook> found = m_shelf->find(fingerprint);
    int position = 0;
    if (sameText)
        position = m_state.position;
    else if (found)
        position = entryOfWord(text, found->wordsBefore);
    if (found && !sameText)
        m_seed = {true, m_state.words.generation(), position, found->wordsBefore};
    const qint64 now = nowMs();
    ShelfBook book;
    if (found) {
        book = *found;
    } else {
        book.fingerprint = fingerprint;
        book.firstRead = now;
        book.title = titleFromText(text);
    }
    if (m_openedRevision == m_window.textBox->document()->revision()) {
        const BookOpener::OpenedBook& opened = m_opener.opened();
        book.path = opened.path;
        book.format = opened.format;
        book.title = opened.title.isEmpty() ? QFileInfo(opened.path).fileName() : opened.title;
        book.author = opened.author;
    }
    book.position = position;
    book.wordsBefore = found && !sameText ? found->wordsBefore : 0;
    book.speed = wordsPerMinute();
    book.lastRead = now;
    // The place is the shelf's only once it was written from this sequence.
    book.savedAt = found ? found->savedAt : 0;
    m_shelf->put(book);
    m_current = fingerprint;
    m_onShelf = true;
    tellFailure(m_shelf->takeWriteError(), false);
    return position;
}

void ShelfWiring::savePlace() {
    if (!m_shelf || !m_onShelf)
        return;
    const WordSequence& words = m_state.words;
    const int position = m_state.position;
    // Before the first Start of a run only a restart moves the place.
    if (words.isEmpty() && position != 0)
        return;
    // A place beyond what is cut yet has not moved since Start.
    if (!words.isEmpty() && !words.holds(position) && m_reader.preparing())
        return;
    const qint64 now = nowMs();
    ShelfPlace place;
    place.fingerprint = m_current;
    place.entries = m_state.entryCount;
    place.position = position;
    if (m_seed.valid && words.generation() != m_seed.before && words.holds(m_seed.position)) {
        m_counter.seed(words, m_seed.position, m_seed.words);
        m_seed.valid = false;
    }
    place.wordsBefore = m_counter.wordsBefore(words, position);
    place.speed = wordsPerMinute();
    place.lastRead = now;
    place.savedAt = now;
    m_shelf->savePlace(place);
    if (const std::optional<ShelfSession> session = m_sessions.current(m_state.wordsShown))
        m_shelf->saveSession(*session);
    tellFailure(m_shelf->takeWriteError(), false);
}

void ShelfWiring::waitForWrites() {
    if (m_shelf)
        m_shelf->waitForWrites();
}

void ShelfWiring::openBook(const ShelfBook& book) {
    if (book.path.isEmpty()) {
        m_boxes.message(&m_window, QStringLiteral("Книга «") + book.title +
                                       QStringLiteral("» была вставлена, а не открыта из файла. "
                                                      "Вставьте её текст снова: чтение "
                                                      "продолжится с того же места."));
        return;
    }
    if (!QFileInfo(book.path).isFile()) {
        m_boxes.message(&m_window, QStringLiteral("Файл книги «") + book.title +
                                       QStringLiteral("» не найден: ") + book.path +
                                       QStringLiteral(". Книга остаётся в списке."));
        return;
    }
    const QString expected = book.fingerprint;
    const QString title = book.title;
    auto* once = new QObject(this);
    connect(&m_opener, &BookOpener::finished, once, [this, once, expected, title](bool placed) {
        once->deleteLater();
        if (placed && bookFingerprint(textBoxStartText(m_window)) != expected) {
            m_boxes.message(&m_window,
                            QStringLiteral("Файл книги «") + title +
                                QStringLiteral("» изменился с прошлого чтения: это уже другой "
                                               "текст, и он начнётся сначала. Прежняя книга "
                                               "остаётся в списке."));
        }
    });
    m_opener.open(book.path);
    if (!m_opener.busy())
        delete once;
}
