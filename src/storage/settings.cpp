#include "storage/settings.h"

#include "platform/clock.h"
#include "platform/time_format.h"
#include "storage/ini_file.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace {

constexpr QStringView config = u"Config";
constexpr QStringView content = u"Content";

// "word_" and the index in decimal, written into `buf`.
class WordKey {
public:
    QStringView operator()(int index) {
        char16_t digits[12];
        int n = 0;
        unsigned v = static_cast<unsigned>(index);
        do {
            digits[n++] = static_cast<char16_t>(u'0' + v % 10);
            v /= 10;
        } while (v != 0);
        qsizetype len = 5;
        while (n > 0)
            m_buf[len++] = digits[--n];
        return QStringView(m_buf, len);
    }

private:
    char16_t m_buf[20] = {u'w', u'o', u'r', u'd', u'_'};
};

// The index N of a key named "word_N" (any case, N in decimal without
// leading zeros), or -1.
int wordIndex(QStringView name) {
    if (name.size() < 6 || name.size() > 15 ||
        name.left(5).compare(u"word_", Qt::CaseInsensitive) != 0)
        return -1;
    const QStringView digits = name.mid(5);
    if (digits.size() > 1 && digits[0] == QLatin1Char('0'))
        return -1;
    qint64 v = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - u'0');
        if (v > INT_MAX)
            return -1;
    }
    return static_cast<int>(v);
}

// The values of "word_0" to "word_(count-1)" in Content, as a lookup of each
// would give them (any case, the first key of a name wins); missing ones stay
// null. One pass over the section instead of a lookup per entry.
std::vector<std::optional<QStringView>> wordValues(const IniFile& ini, int count) {
    std::vector<std::optional<QStringView>> values(static_cast<size_t>(count));
    ini.forEachKey(content, [&](QStringView name, QStringView value) {
        const int n = wordIndex(name);
        if (n >= 0 && n < count && !values[static_cast<size_t>(n)])
            values[static_cast<size_t>(n)] = value;
    });
    return values;
}

// How many entries the load reads for a TextLength `textLength` >= 0. Up to
// loadPaddedLimit every index is read, missing ones as line breaks; a larger
// count, which only a damaged file or a very long book gives, stops after the
// highest "word_N" present, so that a wrong TextLength cannot make the load
// run for hours or fill the memory with line breaks.
int entriesToRead(const IniFile& ini, int textLength) {
    if (textLength <= loadPaddedLimit)
        return textLength;
    const qint64 bound = qMin<qint64>(textLength, ini.keyCount(content) + loadPaddedLimit);
    int highest = -1;
    ini.forEachKey(content, [&](QStringView name, QStringView) {
        const int n = wordIndex(name);
        if (n < bound && n > highest)
            highest = n;
    });
    return highest + 1;
}

bool isLineBreak(QStringView value) {
    return value.size() == 1 && (value[0] == QLatin1Char('\r') || value[0] == QLatin1Char('\n'));
}

// A word that the reading rules would turn into nothing (tabs only, or a
// pair of quotation marks with at most tabs inside) would come back as a line
// break, which the cutting turns into a different number of entries and so
// moves every later bookmark. Such a word is written within quotation marks,
// which the reading drops again.
QStringView firstLine(QStringView value) {
    qsizetype end = 0;
    while (end < value.size() && value[end] != QLatin1Char('\r') && value[end] != QLatin1Char('\n'))
        ++end;
    return value.left(end);
}

bool needsProtection(QStringView value) {
    const QStringView line = firstLine(value);
    return !line.isEmpty() && IniFile::unquoted(IniFile::trimmed(line)).isEmpty();
}

QString protect(QStringView value) {
    return QLatin1Char('"') + firstLine(value) + QLatin1Char('"');
}

} // namespace

QString progressStateName(ProgressState state) {
    switch (state) {
    case ProgressState::Error:
        return QStringLiteral("red");
    case ProgressState::Paused:
        return QStringLiteral("yellow");
    case ProgressState::Normal:
        break;
    }
    return QStringLiteral("green");
}

void loadSettings(SettingsView& view, ReadingState& state, const QString& path, const Clock& clock,
                  const TimeFormat& timeFormat) {
    view.releaseHotkeys();
    const QDateTime start = clock.now();
    IniFile ini;
    if (!ini.load(path)) {
        view.showMessage(QStringLiteral("Не удалось прочитать настройки и закладки.  [") +
                         ini.errorString() + QLatin1Char(']'));
        view.splashHide();
        return;
    }

    state.explainLearningMode = false;
    view.setStudyMode(ini.boolValue(config, u"StudyMode", false));
    state.explainLearningMode = true;
    const QString colour = ini.value(config, u"ProgressBar", QStringLiteral("green"));
    view.setSpeedIndex(ini.intValue(config, u"Speed", 3));
    if (colour == u"red")
        view.setProgressState(ProgressState::Error);
    else if (colour == u"yellow")
        view.setProgressState(ProgressState::Paused);
    else if (colour == u"green")
        view.setProgressState(ProgressState::Normal);

    state.entryCount = ini.intValue(config, u"TextLength", 0);
    if (state.entryCount > 0)
        view.clearText();
    QString text;
    if (state.entryCount >= 0) {
        const int count = entriesToRead(ini, state.entryCount);
        const auto values = wordValues(ini, count);
        bool lastIsWord = false;
        for (int i = 0; i < count; ++i) {
            const auto& value = values[static_cast<size_t>(i)];
            text += QLatin1Char(' ');
            lastIsWord = value && !value->isEmpty();
            if (lastIsWord)
                text += *value;
            else
                text += u"\n\r";
            if (i % loadSlice != 0)
                continue;
            view.processEvents();
            view.splashShow();
            view.splashProgress(count, i);
            if (i > 0) {
                const qint64 elapsed = start.msecsTo(clock.now());
                const qint64 total = static_cast<qint64>(static_cast<double>(elapsed) * count / i);
                const qint64 left = total - start.msecsTo(clock.now());
                view.splashTimeLeft(QStringLiteral("Осталось: ") + timeFormat.timeToStr(left));
            }
        }
        // The preparation stores a word only when a delimiter follows it: a
        // blank keeps the last word. A last line break stays as it is, since a
        // blank after it would give its entry back.
        if (lastIsWord)
            text += QLatin1Char(' ');
    }
    if (state.entryCount > 0)
        view.setText(text);

    // After the text: its change handler resets the position.
    state.position = qMax(0, ini.intValue(config, u"TextPosition", 0));
    state.speedBaseline = state.position;
    view.splashHide();
}

void saveSettings(SettingsView& view, ReadingState& state, const QString& path) {
    const std::optional<SettingsSnapshot> snapshot = takeSettingsSnapshot(view, state);
    if (!snapshot)
        return;
    state.words.truncate(state.entryCount);
    const QString error = writeSettings(*snapshot, path, path);
    if (!error.isEmpty())
        view.showMessage(settingsSaveFailedMessage(error));
}

std::optional<SettingsSnapshot> takeSettingsSnapshot(const SettingsView& view,
                                                     const ReadingState& state) {
    if (state.words.isEmpty())
        return std::nullopt;
    return SettingsSnapshot{view.studyMode(), view.progressState(), view.speedIndex(),
                            state.entryCount, state.position,       state.words};
}

QString writeSettings(const SettingsSnapshot& snapshot, const QString& path,
                      const QString& basePath) {
    const WordSequence& words = snapshot.words;
    IniFile ini;
    if (!ini.load(basePath))
        return ini.errorString();
    ini.removeSection(content);
    ini.setBool(config, u"StudyMode", snapshot.studyMode);
    ini.setValue(config, u"ProgressBar", progressStateName(snapshot.progress));
    ini.setInt(config, u"Speed", snapshot.speedIndex);
    ini.setInt(config, u"TextLength", snapshot.entryCount);
    ini.setInt(config, u"TextPosition", snapshot.position);

    const int n = qMin(snapshot.entryCount, words.written());
    ini.reserve(content, words.text().size() + qsizetype(n) * 24, n);
    const QString blank =
        WordSequence::blankLeft() + WordSequence::blankLetter() + WordSequence::blankRest();
    WordKey key;
    QString protectedWord;
    for (int i = 0; i < n; ++i) {
        if (words.isBlank(i)) {
            ini.appendKey(content, key(i), blank);
            continue;
        }
        // A word entry's parts lie side by side in the prepared text.
        const QStringView left = words.left(i);
        const QStringView value(left.data(), left.size() + 1 + words.rest(i).size());
        Q_ASSERT(value[left.size()] == words.letter(i));
        if (isLineBreak(value) || !needsProtection(value)) {
            ini.appendKey(content, key(i), value);
        } else {
            protectedWord = protect(value);
            ini.appendKey(content, key(i), protectedWord);
        }
    }
    if (!ini.save(path))
        return ini.errorString();
    return {};
}

QString settingsSaveFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось сохранить настройки и закладки. [") + error +
           QLatin1Char(']');
}
