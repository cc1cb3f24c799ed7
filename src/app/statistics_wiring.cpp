#include "app/statistics_wiring.h"

#include "app/shelf_wiring.h"
#include "platform/atomic_save.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "shelf/session_csv.h"
#include "shelf/shelf_worker.h"
#include "ui/main_window.h"

#include <QAction>
#include <QLocale>
#include <QMenu>

#include <limits>

namespace {

QString wpmText(double wpm) {
    return QLocale().toString(qRound(wpm)) + QStringLiteral(" слов в мин");
}

QString daysText(int days) {
    const int tens = days % 100;
    const int ones = days % 10;
    const char16_t* word = u"дней";
    if (tens < 11 || tens > 14) {
        if (ones == 1)
            word = u"день";
        else if (ones >= 2 && ones <= 4)
            word = u"дня";
    }
    return QString::number(days) + QLatin1Char(' ') + QString::fromUtf16(word);
}

StatisticsPeriod periodOf(int index) {
    switch (index) {
    case 1:
        return StatisticsPeriod::Month;
    case 2:
        return StatisticsPeriod::Year;
    case 3:
        return StatisticsPeriod::All;
    default:
        return StatisticsPeriod::Week;
    }
}

} // namespace

StatisticsWiring::StatisticsWiring(MainWindow& window, ShelfWiring& shelf, Services services,
                                   QObject* parent)
    : QObject(parent), m_window(window), m_shelf(shelf), m_services(services) {
    QAction* action = window.menu->addAction(QStringLiteral("Статистика"));
    action->setObjectName(QStringLiteral("statisticsAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    window.addAction(action);
    connect(action, &QAction::triggered, this, &StatisticsWiring::show);
}

StatisticsWiring::~StatisticsWiring() {
    delete m_statistics;
}

QString StatisticsWiring::durationText(qint64 ms) {
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    if (seconds < 60)
        return QString::number(seconds) + QStringLiteral(" с");
    const qint64 minutes = seconds / 60;
    if (minutes < 60)
        return QString::number(minutes) + QStringLiteral(" мин");
    return QString::number(minutes / 60) + QStringLiteral(" ч ") +
           QStringLiteral("%1").arg(minutes % 60, 2, 10, QLatin1Char('0')) + QStringLiteral(" мин");
}

QString StatisticsWiring::skippedNote(int skipped) {
    if (skipped <= 0)
        return {};
    return QStringLiteral("Не учтено сеансов с невозможными значениями (время в будущем или до "
                          "1970 года, отрицательные числа, книга удалена из списка): ") +
           QString::number(skipped) + QLatin1Char('.');
}

SessionStatistics StatisticsWiring::statisticsOf(ShelfWorker& shelf, const StatisticsQuery& query,
                                                 QList<ShelfBook>& books) {
    books = shelf.recent();
    // The sessions of the period only, unless the streak goes back beyond
    // them: then the earlier ones too.
    constexpr qint64 earliest = std::numeric_limits<qint64>::min();
    const qint64 from = periodStart(query.period, query.now);
    QList<ShelfSession> sessions = shelf.sessions(from);
    SessionStatistics statistics = sessionStatistics(sessions, books, query);
    const QDate streakFrom = statistics.totals.streakFrom;
    if (from == earliest || !streakFrom.isValid() ||
        QDateTime(streakFrom, QTime(0, 0)).toMSecsSinceEpoch() > from)
        return statistics;
    sessions = shelf.sessions(earliest, from) + sessions;
    return sessionStatistics(sessions, books, query);
}

StatisticsWindow::Content StatisticsWiring::contentOf(const SessionStatistics& statistics) {
    StatisticsWindow::Content c;
    c.days.reserve(statistics.days.size());
    for (const StatisticsDay& d : statistics.days)
        c.days.append({d.date, d.effectiveWpm(), d.setWpm(), d.runningMs / 60000.0, d.words});
    const StatisticsTotals& t = statistics.totals;
    const QLocale locale;
    c.totals = {
        {QStringLiteral("Время чтения"), durationText(t.runningMs)},
        {QStringLiteral("Прочитано слов"), locale.toString(t.words)},
        {QStringLiteral("Сеансов чтения"), locale.toString(t.sessions)},
        {QStringLiteral("Дочитано книг"), locale.toString(t.booksFinished)},
        {QStringLiteral("Лучшая скорость"), wpmText(t.bestWpm)},
        {QStringLiteral("Медианная скорость"), wpmText(t.medianWpm)},
        {QStringLiteral("Дней чтения подряд"), daysText(t.streakDays)},
    };
    c.note = skippedNote(statistics.skipped);
    return c;
}

void StatisticsWiring::show() {
    if (m_shelf.shelf() == nullptr) {
        m_services.boxes.message(&m_window,
                                 QStringLiteral("Статистика в этом запуске недоступна: список "
                                                "книг не открылся."));
        return;
    }
    // The session running now is in the figures.
    m_shelf.savePlace();
    if (!m_statistics) {
        m_statistics = new StatisticsWindow(&m_window);
        connect(m_statistics, &StatisticsWindow::choiceChanged, this, &StatisticsWiring::refresh);
        connect(m_statistics, &StatisticsWindow::saveRequested, this, &StatisticsWiring::saveCsv);
    }
    refresh();
    m_statistics->show();
    m_statistics->raise();
    m_statistics->activateWindow();
}

void StatisticsWiring::refresh() {
    ShelfWorker* shelf = m_shelf.shelf();
    if (!m_statistics || shelf == nullptr)
        return;
    StatisticsQuery query;
    query.period = periodOf(m_statistics->period());
    query.book = m_statistics->book();
    query.now = m_services.clock.now();
    QList<ShelfBook> books;
    m_shown = statisticsOf(*shelf, query, books);
    m_titles.clear();
    QList<std::pair<QString, QString>> choice;
    choice.reserve(books.size());
    for (const ShelfBook& b : books) {
        m_titles.insert(b.fingerprint, b.title);
        choice.append({b.fingerprint, b.title});
    }
    m_statistics->setBooks(choice);
    m_statistics->setContent(contentOf(m_shown));
}

void StatisticsWiring::saveCsv() {
    if (!m_statistics)
        return;
    const QString suggested = QStringLiteral("kestrix-") +
                              m_services.clock.now().date().toString(QStringLiteral("yyyy-MM-dd")) +
                              QStringLiteral(".csv");
    const QString path =
        m_services.fileDialog.saveFile(m_statistics, QStringLiteral("Сохранить как CSV"), suggested,
                                       QStringLiteral("Таблица CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QString error = saveFileAtomically(path, sessionsCsv(m_shown.sessions, m_titles));
    if (!error.isEmpty())
        m_services.boxes.message(m_statistics, QStringLiteral("Не удалось сохранить файл ") + path +
                                                   QStringLiteral(". [") + error +
                                                   QStringLiteral("]"));
}
