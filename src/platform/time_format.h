#pragma once

#include <QLocale>
#include <QString>

// Times of day in the user's long time format: hours, minutes and seconds,
// never a time-zone suffix. Times are milliseconds since midnight.
class TimeFormat {
public:
    explicit TimeFormat(const QLocale& locale = QLocale::system());

    // Whole seconds; values outside one day wrap around midnight,
    // negative values show as 0.
    QString timeToStr(qint64 msOfDay) const;
    // Milliseconds since midnight, or -1 when the text is no time.
    qint64 strToTime(const QString& text) const;

    QString pattern() const { return m_pattern; }

private:
    QLocale m_locale;
    QString m_pattern;
};
