#include "words/clean_word.h"

namespace {

// In the order of removal. The space is listed twice: the first two go.
constexpr char16_t removed[] = {u' ', u' ', u',', u'.', u'"', u':',      u'!',     u'?',
                                u'-', u'(', u')', u'[', u']', u'\u201D', u'\u201C'};
constexpr char16_t leftGuillemet = u'\u00AB';
constexpr char16_t rightGuillemet = u'\u00BB';
constexpr char16_t semicolon = u';';

bool touched(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return true;
    for (const char16_t r : removed) {
        if (c == r)
            return true;
    }
    return c == rightGuillemet || c == semicolon;
}

void removeFirst(QString& s, char16_t c) {
    const qsizetype i = s.indexOf(QChar(c));
    if (i >= 0)
        s.remove(i, 1);
}

} // namespace

QString cleanWord(const QString& str) {
    // Most words need nothing: hand back the shared string without a copy.
    bool any = false;
    for (const QChar c : str) {
        if (touched(c.unicode())) {
            any = true;
            break;
        }
    }
    if (!any)
        return str;

    QString s = str;
    for (QChar& c : s) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    for (const char16_t c : removed)
        removeFirst(s, c);
    // The test looks for the opening guillemet, but the closing one goes.
    if (s.contains(QChar(leftGuillemet)))
        removeFirst(s, rightGuillemet);
    removeFirst(s, semicolon);
    return s;
}
