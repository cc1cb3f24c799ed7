#include "probe/commands.h"
#include "probe/output.h"
#include "reading/pacing.h"
#include "reading/preparation.h"
#include "reading/reading_state.h"
#include "reading/time_left.h"

#include <cstdio>

namespace {

// "--speed N" at args[a]: the item index in `speed`; false (and a message)
// for an index outside the speed list.
bool takeSpeed(const QStringList& args, qsizetype& a, int& speed) {
    bool ok = false;
    speed = args[++a].toInt(&ok);
    if (!ok || baseInterval(speed) < 0) {
        probe::writeError(QStringLiteral("--speed takes an item index from 0 to 17"));
        return false;
    }
    return true;
}

} // namespace

// cut [--speed N] [--count] [FILE]
int probeCut(const QStringList& args) {
    int speed = 3;
    bool countOnly = false;
    QString file;
    for (qsizetype a = 0; a < args.size(); ++a) {
        if (args[a] == QLatin1String("--count")) {
            countOnly = true;
        } else if (args[a] == QLatin1String("--speed") && a + 1 < args.size()) {
            if (!takeSpeed(args, a, speed))
                return 2;
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

// time-left --speed N FILE POSITION
int probeTimeLeft(const QStringList& args) {
    int speed = 3;
    QStringList rest;
    for (qsizetype a = 0; a < args.size(); ++a) {
        if (args[a] == QLatin1String("--speed") && a + 1 < args.size()) {
            if (!takeSpeed(args, a, speed))
                return 2;
        } else {
            rest.append(args[a]);
        }
    }
    bool ok = false;
    const int position = rest.size() == 2 ? rest[1].toInt(&ok) : 0;
    if (!ok || position < 0) {
        probe::writeError(
            QStringLiteral("usage: kestrix-probe time-left [--speed N] FILE POSITION"));
        return 2;
    }
    const QString text = probe::readTextFile(rest[0]);
    if (text.isNull())
        return 1;
    WordSequence words;
    cutWhole(words, text);
    PaceProfile profile;
    profile.update(words);
    probe::writeLine(
        QString::number(profile.durationMs(position, words.written(), baseInterval(speed))));
    return 0;
}
