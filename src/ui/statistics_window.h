#pragma once

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

#include <utility>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

// The "Статистика" window: for a period and a book (or all), charts of the
// effective speed per day beside the speed setting, of reading time and of
// words per day, the totals, a note of the sessions left out, and a button
// that saves the period's sessions as CSV. What it shows is given whole by
// setContent(); it works nothing out itself.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    struct Day {
        QDate date;
        double effectiveWpm = 0;
        double setWpm = 0;
        double minutes = 0;
        qint64 words = 0;
    };
    struct Content {
        QList<Day> days;                           // earliest first; none: the empty state
        QList<std::pair<QString, QString>> totals; // caption, value
        QString note;                              // under the charts; empty: none
    };

    explicit StatisticsWindow(QWidget* parent = nullptr);

    // The books to choose from, after "Все книги": (fingerprint, title).
    void setBooks(const QList<std::pair<QString, QString>>& books);
    void setContent(const Content& content);

    // The choice: 0 week, 1 month, 2 year, 3 all time.
    int period() const;
    // The fingerprint of the book chosen; empty for all.
    QString book() const;

    // The empty state's text.
    static QString emptyText();

    QComboBox* periodBox = nullptr;
    QComboBox* bookBox = nullptr;
    QPushButton* saveButton = nullptr;
    QChartView* speedChart = nullptr;
    QChartView* timeChart = nullptr;
    QChartView* wordsChart = nullptr;
    QLabel* totalsLabel = nullptr;
    QLabel* noteLabel = nullptr;
    QLabel* emptyLabel = nullptr;
    QStackedWidget* pages = nullptr;

Q_SIGNALS:
    // The period or the book was chosen anew.
    void choiceChanged();
    void saveRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyTheme();
    void fillCharts(const QList<Day>& days);
};
