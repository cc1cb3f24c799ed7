#include "ui/statistics_window.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QValueAxis>

#include <algorithm>

namespace {

QChartView* chartView(const QString& name, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setLocale(QLocale());
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* view = new QChartView(chart);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(190);
    return view;
}

// Noon of a day, as the x of its point.
qreal xOf(QDate date) {
    return qreal(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
}

QLineSeries* series(const QString& name, const QList<StatisticsWindow::Day>& days,
                    double (*value)(const StatisticsWindow::Day&)) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->setPointsVisible(true);
    for (const StatisticsWindow::Day& d : days)
        line->append(xOf(d.date), value(d));
    return line;
}

void plot(QChart* chart, const QList<QLineSeries*>& lines, const QList<StatisticsWindow::Day>& days,
          const QString& unit) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    if (days.isEmpty())
        return;
    auto* x = new QDateTimeAxis;
    x->setFormat(QLocale().dateFormat(QLocale::ShortFormat));
    // A day either side, so that the ticks fall on the days' noons as long as
    // there are few of them, and a single day has room too.
    const qint64 span = days.first().date.daysTo(days.last().date);
    x->setRange(QDateTime(days.first().date.addDays(-1), QTime(12, 0)),
                QDateTime(days.last().date.addDays(1), QTime(12, 0)));
    x->setTickCount(span + 3 <= 9 ? int(span + 3) : 8);
    auto* y = new QValueAxis;
    y->setTitleText(unit);
    double top = 0;
    for (QLineSeries* line : lines) {
        chart->addSeries(line);
        for (const QPointF& p : line->points())
            top = std::max(top, p.y());
    }
    y->setRange(0, top > 0 ? top * 1.15 : 1);
    y->applyNiceNumbers();
    // Fractions where the values are small (a few minutes).
    y->setLabelFormat(y->max() < 10 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* line : lines) {
        line->attachAxis(x);
        line->attachAxis(y);
    }
    chart->legend()->setVisible(lines.size() > 1);
}

} // namespace

QString StatisticsWindow::emptyText() {
    return QStringLiteral(
        "За этот период чтения не записано.\n\nОткройте книгу или вставьте текст и нажмите "
        "«Поехали»: каждый отрезок чтения дольше 5 секунд попадает сюда — скорость, время и "
        "прочитанные слова по дням.");
}

StatisticsWindow::StatisticsWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("statisticsWindow"));
    setWindowTitle(QStringLiteral("Статистика"));
    resize(860, 860);
    periodBox = new QComboBox;
    periodBox->setObjectName(QStringLiteral("periodBox"));
    periodBox->addItems({QStringLiteral("Неделя"), QStringLiteral("Месяц"), QStringLiteral("Год"),
                         QStringLiteral("Всё время")});
    bookBox = new QComboBox;
    bookBox->setObjectName(QStringLiteral("bookBox"));
    bookBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    bookBox->setMinimumContentsLength(30);
    saveButton = new QPushButton(QStringLiteral("Сохранить как CSV…"));
    saveButton->setObjectName(QStringLiteral("saveCsvButton"));
    auto* choice = new QHBoxLayout;
    choice->addWidget(new QLabel(QStringLiteral("Период:")));
    choice->addWidget(periodBox);
    choice->addSpacing(12);
    choice->addWidget(new QLabel(QStringLiteral("Книга:")));
    choice->addWidget(bookBox, 1);
    choice->addWidget(saveButton);

    speedChart = chartView(QStringLiteral("speedChart"),
                           QStringLiteral("Скорость чтения по дням (слов в минуту)"));
    timeChart = chartView(QStringLiteral("timeChart"), QStringLiteral("Время чтения по дням"));
    wordsChart = chartView(QStringLiteral("wordsChart"), QStringLiteral("Прочитано слов по дням"));
    totalsLabel = new QLabel;
    totalsLabel->setObjectName(QStringLiteral("totalsLabel"));
    totalsLabel->setTextFormat(Qt::PlainText);
    noteLabel = new QLabel;
    noteLabel->setObjectName(QStringLiteral("noteLabel"));
    noteLabel->setWordWrap(true);
    auto* chartsPage = new QWidget;
    auto* charts = new QVBoxLayout(chartsPage);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->addWidget(speedChart, 1);
    charts->addWidget(timeChart, 1);
    charts->addWidget(wordsChart, 1);
    charts->addWidget(totalsLabel);
    emptyLabel = new QLabel(emptyText());
    emptyLabel->setObjectName(QStringLiteral("emptyLabel"));
    emptyLabel->setWordWrap(true);
    emptyLabel->setAlignment(Qt::AlignCenter);
    emptyLabel->setMargin(40);
    pages = new QStackedWidget;
    pages->addWidget(chartsPage);
    pages->addWidget(emptyLabel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(pages, 1);
    layout->addWidget(noteLabel);
    applyTheme();
    connect(periodBox, &QComboBox::currentIndexChanged, this, &StatisticsWindow::choiceChanged);
    connect(bookBox, &QComboBox::currentIndexChanged, this, &StatisticsWindow::choiceChanged);
    connect(saveButton, &QPushButton::clicked, this, &StatisticsWindow::saveRequested);
}

void StatisticsWindow::setBooks(const QList<std::pair<QString, QString>>& books) {
    const QString chosen = book();
    const QSignalBlocker block(bookBox);
    bookBox->clear();
    bookBox->addItem(QStringLiteral("Все книги"), QString());
    for (const auto& [id, title] : books)
        bookBox->addItem(title.isEmpty() ? QStringLiteral("(без названия)") : title, id);
    bookBox->setCurrentIndex(std::max(0, bookBox->findData(chosen)));
}

int StatisticsWindow::period() const {
    return periodBox->currentIndex();
}

QString StatisticsWindow::book() const {
    return bookBox->currentData().toString();
}

void StatisticsWindow::setContent(const Content& content) {
    pages->setCurrentIndex(content.days.isEmpty() ? 1 : 0);
    saveButton->setEnabled(!content.days.isEmpty());
    QStringList lines;
    for (const auto& [caption, value] : content.totals)
        lines.append(caption + QStringLiteral(": ") + value);
    totalsLabel->setText(lines.join(QLatin1Char('\n')));
    noteLabel->setText(content.note);
    noteLabel->setVisible(!content.note.isEmpty());
    fillCharts(content.days);
}

void StatisticsWindow::fillCharts(const QList<Day>& days) {
    using D = const Day&;
    plot(speedChart->chart(),
         {series(QStringLiteral("Скорость чтения"), days, [](D d) { return d.effectiveWpm; }),
          series(QStringLiteral("Установленная скорость"), days, [](D d) { return d.setWpm; })},
         days, QStringLiteral("слов в мин"));
    plot(timeChart->chart(),
         {series(QStringLiteral("Время чтения"), days, [](D d) { return d.minutes; })}, days,
         QStringLiteral("мин"));
    plot(wordsChart->chart(),
         {series(QStringLiteral("Слов"), days, [](D d) { return double(d.words); })}, days,
         QStringLiteral("слов"));
}

void StatisticsWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        applyTheme();
}

void StatisticsWindow::applyTheme() {
    // The charts follow the window's palette: a dark theme for a dark window.
    const QPalette p = palette();
    const bool dark = p.color(QPalette::Window).lightness() < 128;
    for (QChartView* view : {speedChart, timeChart, wordsChart}) {
        QChart* chart = view->chart();
        chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
        chart->setBackgroundBrush(p.color(QPalette::Base));
        chart->setTitleBrush(p.color(QPalette::WindowText));
        chart->legend()->setLabelColor(p.color(QPalette::WindowText));
        view->setBackgroundBrush(p.color(QPalette::Window));
    }
}
