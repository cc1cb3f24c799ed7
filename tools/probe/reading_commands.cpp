#include "probe/commands.h"
#include "probe/output.h"
#include "reading/pacing.h"
#include "reading/preparation.h"
#include "reading/reading_state.h"

#include <cstdio>

// cut [--speed N] [--count] [FILE]
int probeCut(const QStringList& args) {
    int speed = 3;
    bool countOnly = false;
    QString file;
    for (qsizetype a = 0; a < args.size(); ++a) {
        if (args[a] == QLatin1String("--count")) {
            countOnly = true;
        } else if (args[a] == QLatin1String("--speed") && a + 1 < args.size()) {
            bool ok = false;
            speed = args[++a].toInt(&ok);
            if (!ok || baseInterval(speed) < 0) {
                probe::writeError(QStringLiteral("--speed takes an item index from 0 to 17"));
                return 2;
            }
        } else if (file.isEmpty() && !args[a].startsWith(QLatin1String("--"))) {
            file = args[a];
        } else {
            probe::writeError(
                QStringLiteral("usage: kestrix-probe cut [--speed N] [--count] [FILE]"));
            return 2;
        }
    }
    const QString text = file.isEmpty() ? probe::readStdin() : probe::readTextFile(file);
    if (text.isNull())
        return 1;

    WordSequence words;
    const int entryCount = cutWhole(words, text);
    QByteArray out;
    if (!countOnly) {
        const int j = baseInterval(speed);
        QString lines;
        lines.reserve(words.text().size() * 2);
        for (int i = 0; i < words.written(); ++i) {
            const QStringView rest = words.rest(i);
            lines += probe::escape(words.left(i).toString()) + QLatin1Char('\t') +
                     probe::escape(QString(words.letter(i))) + QLatin1Char('\t') +
                     probe::escape(rest.toString()) + QLatin1Char('\t') +
                     QString::number(wordInterval(j, 1, rest)) + QLatin1Char('\n');
        }
        out = lines.toUtf8();
    }
    out += "k1\t" + QByteArray::number(entryCount) + '\n';
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return 0;
}
