#pragma once

#include "platform/atomic_save.h"
#include "storage/name_index.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

// An INI file with the semantics of the Windows private-profile functions,
// parsed once per load and written once per save.
//
// Reading: any CR or LF ends a line; blanks (space, tab) around names and
// values are dropped; a section line starts with "[" and its name ends at the
// first "]"; a line whose first non-blank is ";" is a comment; a key line splits
// at the first "="; a line without "=" is no key. Section and key names compare
// case-insensitively and the first section and the first key of a name win.
// A value of two or more characters enclosed in a matching pair of single or
// double quotation marks is returned without that pair.
//
// Writing keeps sections, keys, comments and other lines in file order, with
// CR LF line ends, in UTF-8 without a byte-order mark. A value is written so
// that it reads back as itself: within double quotation marks when the reading
// would drop blanks or a pair of quotation marks around it. A line cannot hold
// a line break, so a value is cut at its first one.
//
// Reading and writing share their limits: a file the reader would cut is
// not written, and a file cut by a limit is reported, never taken as whole.
class IniFile {
public:
    // The limits of a file, far above what a book that fits in memory needs:
    // larger files are not read; lines (keys, comments and others) and
    // sections beyond the others are not kept, and the file counts as cut.
    static constexpr qint64 defaultMaxBytes = 1024LL * 1024 * 1024;
    static constexpr qsizetype maxLines = 64 * 1024 * 1024;
    static constexpr qsizetype maxSections = 1024 * 1024;

    // How far a load has come, in thousandths: reading the file's bytes,
    // decoding and parsing them.
    using LoadProgress = std::function<void(int permille)>;

    // Reads the regular file at `path`. A missing file is no error and gives
    // an empty INI. A file that cannot be read whole (unreadable, no regular
    // file, larger than `maxBytes`, or cut by a limit) gives false and
    // errorString(); a cut file keeps what lay within the limits.
    bool load(const QString& path, qint64 maxBytes = defaultMaxBytes,
              const LoadProgress& progress = {});
    // Parses `bytes` as file contents (see decode()), replacing everything;
    // false when a limit cut them.
    bool parse(const QByteArray& bytes);
    // Writes the whole file with saveFileAtomically(): on failure the old file
    // stays as it was and errorString() says why, in words for the user.
    // `progress` is told how far the writing of the file has come.
    bool save(const QString& path, const SaveProgress& progress = {});
    QString errorString() const { return m_error; }

    // The file contents as save() writes them.
    QByteArray serialize() const;
    // As decodeText(): UTF-16 or UTF-8 with a byte-order mark, UTF-8 (a few
    // damaged bytes replaced), otherwise Windows-1251.
    static QString decode(const QByteArray& bytes);

    bool hasSection(QStringView section) const { return findSection(section) >= 0; }
    // The value of a key, trimmed and unquoted; nothing when the section or
    // the key is missing. The view lives until the next change of the file.
    std::optional<QStringView> find(QStringView section, QStringView key) const;
    QString value(QStringView section, QStringView key, const QString& defaultValue = {}) const;
    int intValue(QStringView section, QStringView key, int defaultValue) const;
    bool boolValue(QStringView section, QStringView key, bool defaultValue) const;

    // Sets the first key of that name, or adds it at the end of the section,
    // adding the section at the end of the file when it is missing.
    void setValue(QStringView section, QStringView key, QStringView value);
    void setInt(QStringView section, QStringView key, int value);
    void setBool(QStringView section, QStringView key, bool value) { setInt(section, key, value); }
    // Adds a key at the end of the section without looking for one of the
    // same name (the caller knows it is new); for writing long runs of keys.
    void appendKey(QStringView section, QStringView key, QStringView value);
    // Removes every section of that name with all its lines.
    void removeSection(QStringView section);

    // Makes room for `chars` more characters of names and values and `keys`
    // more keys in the section, ahead of a long run of appendKey().
    void reserve(QStringView section, qsizetype chars, qsizetype keys);

    // Calls f(name, value) for the keys of the first section of that name, in
    // file order, the value trimmed and unquoted; for reading long runs of
    // keys without looking each one up.
    template <typename F> void forEachKey(QStringView section, F f) const {
        const int s = findSection(section);
        if (s < 0)
            return;
        for (const Line& l : m_sections[static_cast<size_t>(s)].lines) {
            if (l.isKey)
                f(view(l.name), unquoted(view(l.value)));
        }
    }
    qsizetype keyCount(QStringView section) const;

    // The rules for values, on their own.
    static QStringView trimmed(QStringView s);
    static QStringView unquoted(QStringView s);
    // A sign and decimal digits, or hexadecimal as "$1F" or "0x1F" (up to 32
    // bits, taken as a two's-complement pattern); anything else, trailing
    // characters and values outside 32 bits included, is no integer.
    static std::optional<int> parseInt(QStringView s);

private:
    // A stretch of the arena. 32 bits each: a file the reader takes holds
    // at most a thousand million characters; an arena that would outgrow
    // them is refused by save().
    struct Span {
        quint32 start = 0;
        quint32 length = 0;
    };
    struct Line {
        Span name; // the whole text for a line that is no key
        Span value;
        bool isKey = false;
    };
    struct Section {
        Span name;
        bool headless = false; // lines before the first section line
        std::vector<Line> lines;
        mutable NameIndex index; // of the key lines, built on first lookup
        mutable bool indexed = false;
    };

    static bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
    static bool isLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
    QStringView view(Span s) const { return QStringView(m_arena).mid(s.start, s.length); }
    static Span span(qsizetype start, qsizetype length) {
        return {static_cast<quint32>(start), static_cast<quint32>(length)};
    }
    // Parses `text`; returns why it was cut, or an empty string. `progress`
    // is told the share of the text parsed, in thousandths.
    QString parseText(QString text, const LoadProgress& progress = {});
    // Why a file of these lines and sections would be cut, or an empty string.
    static QString limitExceeded(qsizetype lines, qsizetype sections);
    Span store(QStringView s);
    Span storeValue(QStringView value);
    int findSection(QStringView name) const;
    int findOrAddSection(QStringView name);
    int appendSection(QStringView name);
    int findKey(const Section& s, QStringView key) const;
    void indexKey(const Section& s, int line) const;
    void resetSectionIndex() const;

    QString m_arena; // the decoded file, then every name and value set later
    std::vector<Section> m_sections;
    mutable NameIndex m_sectionIndex;
    mutable bool m_sectionsIndexed = false;
    int m_lastAppend = -1;    // the section of the last appendKey()
    bool m_arenaFull = false; // a name or value did not fit in the arena's 32-bit spans
    QString m_error;
};
