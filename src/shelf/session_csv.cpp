#include "shelf/session_csv.h"

#include <QDateTime>
#include <QStringList>

QString csvField(const QString& text) {
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray sessionsCsv(const QList<ShelfSession>& sessions, const QHash<QString, QString>& titles) {
    const auto row = [](const QStringList& fields) -> QString {
        QStringList quoted;
        for (const QString& f : fields)
            quoted.append(csvField(f));
        return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    QString csv = row({QStringLiteral("Начало"), QStringLiteral("Конец"), QStringLiteral("Книга"),
                       QStringLiteral("Время чтения, с"), QStringLiteral("Слов"),
                       QStringLiteral("Скорость, слов в мин"),
                       QStringLiteral("Установленная скорость, слов в мин"),
                       QStringLiteral("Режим обучения")});
    const auto iso = [](qint64 ms) -> QString {
        return QDateTime::fromMSecsSinceEpoch(ms).toString(Qt::ISODate);
    };
    for (const ShelfSession& s : sessions) {
        csv += row({iso(s.started), iso(s.ended), titles.value(s.fingerprint),
                    QString::number(s.runningMs / 1000), QString::number(s.words),
                    QString::number(qRound(s.effectiveWpm())), QString::number(s.setWpm()),
                    s.learning ? QStringLiteral("да") : QStringLiteral("нет")});
    }
    return csv.toUtf8();
}
