#include "storage/settings.h"

#include "platform/atomic_save.h"
#include "platform/clock.h"
#include "platform/time_format.h"
#include "storage/ini_file.h"

#include <QDateTime>

#include <algorithm>
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

// The index N of a key named "word_N" (any case, N in decimal without
// leading zeros), or -1.
int wordIndex(QStringView name) {
    const qsizetype n = name.size();
    if (n < 6 || n > 15)
        return -1;
    const char16_t* c = name.utf16();
    // ASCII letters fold to lower case by one bit; "_" is compared as it is.
    if ((c[0] | 0x20) != u'w' || (c[1] | 0x20) != u'o' || (c[2] | 0x20) != u'r' ||
        (c[3] | 0x20) != u'd' || c[4] != u'_')
        return -1;
    if (n > 6 && c[5] == u'0')
        return -1;
    qint64 v = 0;
    for (qsizetype i = 5; i < n; ++i) {
        if (c[i] < u'0' || c[i] > u'9')
            return -1;
        v = v * 10 + (c[i] - u'0');
    }
    return v > INT_MAX ? -1 : static_cast<int>(v);
}

// A stored entry: the index N of a key "word_N" and its value.
struct StoredEntry {
    int index;
    QStringView value;
};

// The stored entries, the "word_N" keys of Content with N below `textLength`,
// by index, the first key of an index winning (any case), as a lookup of each
// would find them. Keys that stand in the file in the order of their indices,
// as every save writes them, are taken in one pass where they lie; only a
// file in another order is sorted.
class StoredText {
public:
    StoredText(const IniFile& ini, int textLength) : m_ini(ini), m_textLength(textLength) {
        bool ordered = true;
        ini.forEachKey(content, [&](QStringView name, QStringView value) {
            const int n = wordIndex(name);
            if (n < 0 || n >= textLength)
                return;
            ordered = ordered && (m_indices.empty() || n > m_indices.back());
            m_indices.push_back(n);
            m_chars += value.size();
        });
        if (ordered)
            return;
        m_indices.clear();
        ini.forEachKey(content, [&](QStringView name, QStringView value) {
            const int n = wordIndex(name);
            if (n >= 0 && n < textLength)
                m_sorted.push_back({n, value});
        });
        const auto byIndex = [](const StoredEntry& a, const StoredEntry& b) {
            return a.index < b.index;
        };
        std::stable_sort(m_sorted.begin(), m_sorted.end(), byIndex);
        const auto sameIndex = [](const StoredEntry& a, const StoredEntry& b) {
            return a.index == b.index;
        };
        m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end(), sameIndex), m_sorted.end());
        for (const StoredEntry& e : m_sorted)
            m_indices.push_back(e.index);
    }

    // The indices of the entries, in order.
    const std::vector<int>& indices() const { return m_indices; }
    // The characters of their values, about.
    qsizetype chars() const { return m_chars; }

    // Calls f(value) for each entry, in order.
    template <typename F> void forEach(F f) const {
        if (m_sorted.empty()) {
            m_ini.forEachKey(content, [&](QStringView name, QStringView value) {
                const int n = wordIndex(name);
                if (n >= 0 && n < m_textLength)
                    f(value);
            });
            return;
        }
        for (const StoredEntry& e : m_sorted)
            f(e.value);
    }

private:
    const IniFile& m_ini;
    int m_textLength;
    std::vector<int> m_indices;
    std::vector<StoredEntry> m_sorted; // only for keys out of order
    qsizetype m_chars = 0;
};

// The restored text, entry by entry: the entries present, and before each of
// them and after the last the line breaks that stand for missing entries (see
// loadPaddingAllowance).
struct RestorePlan {
    std::vector<int> breaksBefore;
    int breaksAfter = 0;
    int total = 0; // entries of the restored text
};

RestorePlan planRestore(const std::vector<int>& indices, int textLength) {
    RestorePlan plan;
    qint64 allowance = static_cast<qint64>(indices.size()) + loadPaddingAllowance;
    const auto breaksFor = [&allowance](qint64 missing, bool atEnd) {
        if (missing <= 0)
            return 0;
        if (missing <= allowance) {
            allowance -= missing;
            return static_cast<int>(missing);
        }
        return atEnd ? 0 : 1;
    };
    qint64 next = 0;
    qint64 total = 0;
    plan.breaksBefore.reserve(indices.size());
    for (const int index : indices) {
        plan.breaksBefore.push_back(breaksFor(index - next, false));
        total += plan.breaksBefore.back() + 1;
        next = index + 1;
    }
    plan.breaksAfter = breaksFor(textLength - next, true);
    plan.total = static_cast<int>(total + plan.breaksAfter);
    return plan;
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
    if (!ini.load(path, IniFile::defaultMaxBytes,
                  [&view](int permille) { view.splashFileProgress(permille); })) {
        keepFromSaves(path);
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
        const StoredText stored(ini, state.entryCount);
        const RestorePlan plan = planRestore(stored.indices(), state.entryCount);
        text.reserve(3 * qsizetype(plan.total) + 1 + stored.chars());
        int done = 0;
        bool lastIsWord = false;
        const auto add = [&](QStringView value) {
            text += QLatin1Char(' ');
            lastIsWord = !value.isEmpty();
            if (lastIsWord)
                text += value;
            else
                text += u"\n\r";
            const int i = done++;
            if (i % loadSlice != 0)
                return;
            view.processEvents();
            view.splashShow();
            view.splashProgress(plan.total, i);
            if (i > 0) {
                const qint64 elapsed = start.msecsTo(clock.now());
                const qint64 total =
                    static_cast<qint64>(static_cast<double>(elapsed) * plan.total / i);
                const qint64 left = total - start.msecsTo(clock.now());
                view.splashTimeLeft(QStringLiteral("Осталось: ") + timeFormat.timeToStr(left));
            }
        };
        size_t k = 0;
        stored.forEach([&](QStringView value) {
            for (int b = 0; b < plan.breaksBefore[k]; ++b)
                add(QStringView());
            ++k;
            add(value);
        });
        for (int b = 0; b < plan.breaksAfter; ++b)
            add(QStringView());
        // The preparation stores a word only when a delimiter follows it: a
        // blank keeps the last word. A last line break stays as it is, since a
        // blank after it would give its entry back.
        if (lastIsWord)
            text += QLatin1Char(' ');
    }
    // The bookmark is read before the file is let go, so that the text box
    // takes the text without the file beside it in memory; it is applied
    // after the text, whose change handler resets the position.
    const int position = qMax(0, ini.intValue(config, u"TextPosition", 0));
    ini = IniFile();
    if (state.entryCount > 0)
        view.setText(text);
    text = QString();

    state.position = position;
    state.speedBaseline = state.position;
    view.splashHide();
}

void saveSettings(SettingsView& view, ReadingState& state, const QString& path) {
    if (state.words.isEmpty())
        return;
    state.words.truncate(state.entryCount);
    const SettingsRecord record{view.studyMode(), view.progressState(), view.speedIndex(),
                                state.entryCount, state.position};
    const QString error = writeSettings(path, record, state.words);
    if (!error.isEmpty())
        view.showMessage(settingsSaveFailedMessage(error));
}

std::optional<SettingsSnapshot> takeSettingsSnapshot(const SettingsView& view,
                                                     const ReadingState& state) {
    if (state.words.isEmpty())
        return std::nullopt;
    return SettingsSnapshot{{view.studyMode(), view.progressState(), view.speedIndex(),
                             state.entryCount, state.position},
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
    ini.removeSection(content);
    ini.setBool(config, u"StudyMode", record.studyMode);
    ini.setValue(config, u"ProgressBar", progressStateName(record.progress));
    ini.setInt(config, u"Speed", record.speedIndex);
    ini.setInt(config, u"TextLength", record.entryCount);
    ini.setInt(config, u"TextPosition", record.position);

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
