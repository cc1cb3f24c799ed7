#include "platform/time_format.h"

#include <QRegularExpression>
#include <QTime>

namespace {

constexpr qint64 msPerDay = 24LL * 60 * 60 * 1000;

// The locale's long format minus any time-zone token ("t", "tttt") and the
// blanks around it; a format without seconds gets them appended.
QString longPatternWithoutZone(const QLocale& locale) {
    QString p = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    p.replace(zone, QStringLiteral(" "));
    p = p.trimmed();
    if (!p.contains(QLatin1Char('s')))
        p += QStringLiteral(":ss");
    if (!p.contains(QLatin1Char('h')) && !p.contains(QLatin1Char('H')))
        p = QStringLiteral("HH:mm:ss");
    return p;
}

} // namespace

TimeFormat::TimeFormat(const QLocale& locale)
    : m_locale(locale), m_pattern(longPatternWithoutZone(locale)) {}

QString TimeFormat::timeToStr(qint64 msOfDay) const {
    if (msOfDay < 0)
        msOfDay = 0;
    msOfDay %= msPerDay;
    const QTime t = QTime::fromMSecsSinceStartOfDay(static_cast<int>(msOfDay / 1000 * 1000));
    return m_locale.toString(t, m_pattern);
}

qint64 TimeFormat::strToTime(const QString& text) const {
    QTime t = m_locale.toTime(text, m_pattern);
    if (!t.isValid())
        t = QTime::fromString(text, QStringLiteral("H:mm:ss"));
    return t.isValid() ? t.msecsSinceStartOfDay() : -1;
}
