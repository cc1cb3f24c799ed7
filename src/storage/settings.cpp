#include "storage/settings.h"

#include "platform/atomic_save.h"
#include "platform/clock.h"
#include "platform/time_format.h"
#include "storage/ini_file.h"
#include "storage/restore_plan.h"
#include "storage/settings_look.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr QStringView config = u"Config";
constexpr QStringView content = u"Content";

// The shares of a save (in thousandths, as measured on a long book) done
// when the old file is read, the entries are set, and the file's bytes are
// made; writing them is the rest. The progress is told every so many entries.
constexpr int loadedShare = 350;
constexpr int composedShare = 550;
constexpr int serializedShare = 780;
constexpr int progressEntries = 16384;

// Tells a save's progress, a part of the save mapped into its share.
class SaveSteps {
public:
    explicit SaveSteps(const SaveProgress& progress) : m_progress(progress) {}
    void tell(qint64 permille) const {
        if (m_progress)
            m_progress(static_cast<int>(permille));
    }
    // The progress of a part that makes the share from `from` to `to`.
    SaveProgress part(int from, int to) const {
        if (!m_progress)
            return {};
        return [progress = &m_progress, from, to](int permille) {
            (*progress)(from + (to - from) * permille / 1000);
        };
    }

private:
    const SaveProgress& m_progress;
};

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

StoredConfig readStoredConfig(const IniFile& ini) {
    StoredConfig c;
    c.studyMode = ini.boolValue(config, u"StudyMode", false);
    c.progressColour = ini.value(config, u"ProgressBar", QStringLiteral("green"));
    c.speedIndex = ini.intValue(config, u"Speed", 3);
    c.look = readDisplayLook(ini);
    c.textLength = ini.intValue(config, u"TextLength", 0);
    c.position = qMax(0, ini.intValue(config, u"TextPosition", 0));
    return c;
}

void applyStoredConfig(SettingsView& view, ReadingState& state, const StoredConfig& c) {
    state.explainLearningMode = false;
    view.setStudyMode(c.studyMode);
    state.explainLearningMode = true;
    view.setSpeedIndex(c.speedIndex);
    if (c.progressColour == u"red")
        view.setProgressState(ProgressState::Error);
    else if (c.progressColour == u"yellow")
        view.setProgressState(ProgressState::Paused);
    else if (c.progressColour == u"green")
        view.setProgressState(ProgressState::Normal);
    view.setLook(c.look);
}

bool rebuildStoredText(const IniFile& ini, int textLength, QString& text,
                       const std::function<bool(int, int)>& slice) {
    const StoredText stored(ini, textLength);
    const RestorePlan plan = planRestore(stored, textLength);
    // A blank before every entry, a line break for every missing or empty
    // one, the values, a last blank.
    const qsizetype breaks = qsizetype(plan.total) - stored.count() + stored.emptyValues();
    TextWriter out(text, qsizetype(plan.total) + 2 * breaks + stored.chars() + 1);
    int done = 0;
    bool lastIsWord = false;
    bool stopped = false;
    const auto add = [&](QStringView value) {
        if (stopped)
            return;
        out.put(QLatin1Char(' '));
        lastIsWord = !value.isEmpty();
        if (lastIsWord)
            out.put(value);
        else
            out.put(u"\n\r");
        const int i = done++;
        if (i % loadSlice == 0)
            stopped = !slice(i, plan.total);
    };
    int k = 0;
    auto gap = plan.breaksBefore.cbegin();
    stored.forEach([&](QStringView value) {
        if (gap != plan.breaksBefore.cend() && gap->before == k) {
            for (int b = 0; b < gap->count; ++b)
                add(QStringView());
            ++gap;
        }
        ++k;
        add(value);
    });
    for (int b = 0; b < plan.breaksAfter; ++b)
        add(QStringView());
    // The preparation stores a word only when a delimiter follows it: a
    // blank keeps the last word. A last line break stays as it is, since a
    // blank after it would give its entry back.
    if (lastIsWord)
        out.put(QLatin1Char(' '));
    out.finish();
    return !stopped;
}

QString settingsLoadFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось прочитать настройки и закладки.  [") + error +
           QLatin1Char(']');
}

void loadSettings(SettingsView& view, ReadingState& state, const QString& path, const Clock& clock,
                  const TimeFormat& timeFormat) {
    view.releaseHotkeys();
    const QDateTime start = clock.now();
    IniFile ini;
    const bool loaded = ini.load(path, IniFile::defaultMaxBytes, [&view](int permille) {
        view.splashFileProgress(permille);
        return !view.restoreStopped();
    });
    // An end asked for during the restore: nothing restored, nothing kept
    // from saves (nothing of this run is saved anyway).
    if (view.restoreStopped()) {
        view.splashHide();
        return;
    }
    if (!loaded) {
        keepFromSaves(path);
        view.showMessage(settingsLoadFailedMessage(ini.errorString()));
        view.splashHide();
        return;
    }

    const StoredConfig stored = readStoredConfig(ini);
    applyStoredConfig(view, state, stored);
    const int entriesBefore = state.entryCount;
    state.entryCount = stored.textLength;
    if (state.entryCount > 0)
        view.clearText();
    bool stopped = false;
    QString text;
    if (state.entryCount >= 0) {
        stopped = !rebuildStoredText(ini, state.entryCount, text, [&](int i, int total) {
            view.processEvents();
            const bool stop = view.restoreStopped();
            view.splashShow();
            view.splashProgress(total, i);
            if (i > 0) {
                const qint64 elapsed = start.msecsTo(clock.now());
                const qint64 all = static_cast<qint64>(static_cast<double>(elapsed) * total / i);
                const qint64 left = all - start.msecsTo(clock.now());
                view.splashTimeLeft(QStringLiteral("Осталось: ") + timeFormat.timeToStr(left));
            }
            return !stop;
        });
    }
    // The file is let go before the text box takes the text, so that the
    // text is not in memory beside it; the bookmark is applied after the
    // text, whose change handler resets the position.
    ini = IniFile();
    if (!stopped && state.entryCount > 0)
        view.setText(text);
    text = QString();
    if (stopped || view.restoreStopped()) {
        if (state.entryCount > 0)
            view.clearText();
        state.entryCount = entriesBefore;
        view.splashHide();
        return;
    }

    state.position = stored.position;
    state.speedBaseline = state.position;
    view.splashHide();
}

void saveSettings(SettingsView& view, ReadingState& state, const QString& path) {
    if (state.words.isEmpty())
        return;
    state.words.truncate(state.entryCount);
    const SettingsRecord record{view.studyMode(), view.progressState(), view.speedIndex(),
                                state.entryCount, state.position,       view.look()};
    const QString error = writeSettings(path, record, state.words);
    if (!error.isEmpty())
        view.showMessage(settingsSaveFailedMessage(error));
}

std::optional<SettingsSnapshot> takeSettingsSnapshot(const SettingsView& view,
                                                     const ReadingState& state) {
    const bool textKept = state.words.isEmpty();
    if (textKept && !state.settingsTouched && view.look() == state.restoredLook)
        return std::nullopt;
    return SettingsSnapshot{{view.studyMode(), view.progressState(), view.speedIndex(),
                             state.entryCount, state.position, view.look(), textKept},
                            state.words};
}

QString settingsSaveFailedMessage(const QString& error) {
    return QStringLiteral("Не удалось сохранить настройки и закладки. [") + error +
           QLatin1Char(']');
}

QString writeSettings(const QString& path, const SettingsRecord& record, const WordSequence& words,
                      const QString& basePath, const SaveProgress& progress) {
    const QString base = basePath.isEmpty() ? path : basePath;
    if (isKeptFromSaves(path) || isKeptFromSaves(base))
        return {};
    // The shares of the work (in thousandths, as measured on a long book):
    // reading the old file, the entries, making the file's bytes, writing.
    const SaveSteps steps(progress);
    IniFile ini;
    if (!ini.load(base)) {
        keepFromSaves(base);
        return ini.errorString();
    }
    steps.tell(loadedShare);
    ini.setBool(config, u"StudyMode", record.studyMode);
    ini.setValue(config, u"ProgressBar", progressStateName(record.progress));
    ini.setInt(config, u"Speed", record.speedIndex);
    if (!record.textKept)
        ini.setInt(config, u"TextLength", record.entryCount);
    ini.setInt(config, u"TextPosition", record.position);
    writeDisplayLook(ini, record.look);
    if (record.textKept)
        return ini.save(path, steps.part(serializedShare, 1000)) ? QString() : ini.errorString();
    ini.removeSection(content);

    const int n = qMin(record.entryCount, words.written());
    ini.reserve(content, words.text().size() + qsizetype(n) * 24, n);
    WordKey key;
    for (int i = 0; i < n; ++i) {
        if (i % progressEntries == 0)
            steps.tell(loadedShare + qint64(i) * (composedShare - loadedShare) / n);
        // A pause is stored empty: it reads back as a line break, as it did
        // when it was stored as its blanks.
        if (words.isBlank(i)) {
            ini.appendKey(content, key(i), QStringView());
            continue;
        }
        // A word entry's parts lie side by side in the prepared text. The INI
        // writer keeps what the reading would drop (quotation marks, blanks)
        // and stores a line-break entry empty.
        const QStringView left = words.left(i);
        const QStringView value(left.data(), left.size() + 1 + words.rest(i).size());
        Q_ASSERT(value[left.size()] == words.letter(i));
        ini.appendKey(content, key(i), value);
    }
    steps.tell(composedShare);
    return ini.save(path, steps.part(serializedShare, 1000)) ? QString() : ini.errorString();
}
