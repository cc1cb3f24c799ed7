#pragma once

#include "shelf/session_statistics.h"
#include "ui/statistics_window.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class Clock;
class FileDialog;
class MainWindow;
class MessageBoxes;
class ShelfWiring;
class ShelfWorker;

// The "Статистика" entry of the program's menu (Ctrl+I) and its window: the
// shelf's sessions worked out for the period and book chosen, and saved as
// CSV ("Сохранить как CSV…") through the atomic save.
class StatisticsWiring : public QObject {
    Q_OBJECT
public:
    struct Services {
        MessageBoxes& boxes;
        FileDialog& fileDialog;
        const Clock& clock;
    };
    StatisticsWiring(MainWindow& window, ShelfWiring& shelf, Services services,
                     QObject* parent = nullptr);
    ~StatisticsWiring() override;

    // Works the statistics out and shows the window.
    void show();
    StatisticsWindow* window() const { return m_statistics; }
    // What was shown last.
    const SessionStatistics& shown() const { return m_shown; }

    // The shelf's sessions worked out for `query`; `books` gets the shelf's
    // books.
    static SessionStatistics statisticsOf(ShelfWorker& shelf, const StatisticsQuery& query,
                                          QList<ShelfBook>& books);
    // What the window shows of `statistics`.
    static StatisticsWindow::Content contentOf(const SessionStatistics& statistics);
    // A duration in hours and minutes ("2 ч 05 мин", "7 мин", "40 с").
    static QString durationText(qint64 ms);
    // The note under the charts for `skipped` sessions left out.
    static QString skippedNote(int skipped);

private:
    void refresh();
    void saveCsv();

    MainWindow& m_window;
    ShelfWiring& m_shelf;
    Services m_services;
    QPointer<StatisticsWindow> m_statistics;
    SessionStatistics m_shown;
    QHash<QString, QString> m_titles;
};
