#include "books/html_entities.h"

#include <array>
#include <string_view>
#include <utility>

namespace {

// U+00A0 to U+00FF in order.
constexpr std::array<std::string_view, 96> latin1 = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

constexpr std::array<std::pair<std::string_view, char16_t>, 44> others = {{
    {"OElig", 0x152},   {"oelig", 0x153},  {"Scaron", 0x160},  {"scaron", 0x161},
    {"Yuml", 0x178},    {"fnof", 0x192},   {"circ", 0x2C6},    {"tilde", 0x2DC},
    {"ensp", 0x2002},   {"emsp", 0x2003},  {"thinsp", 0x2009}, {"zwnj", 0x200C},
    {"zwj", 0x200D},    {"lrm", 0x200E},   {"rlm", 0x200F},    {"ndash", 0x2013},
    {"mdash", 0x2014},  {"lsquo", 0x2018}, {"rsquo", 0x2019},  {"sbquo", 0x201A},
    {"ldquo", 0x201C},  {"rdquo", 0x201D}, {"bdquo", 0x201E},  {"dagger", 0x2020},
    {"Dagger", 0x2021}, {"bull", 0x2022},  {"hellip", 0x2026}, {"permil", 0x2030},
    {"prime", 0x2032},  {"Prime", 0x2033}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
    {"oline", 0x203E},  {"frasl", 0x2044}, {"euro", 0x20AC},   {"numero", 0x2116},
    {"trade", 0x2122},  {"larr", 0x2190},  {"uarr", 0x2191},   {"rarr", 0x2192},
    {"darr", 0x2193},   {"harr", 0x2194},  {"minus", 0x2212},  {"apos", 0x27},
}};

} // namespace

QString namedCharacter(QStringView name) {
    static constexpr std::array<std::pair<std::u16string_view, char16_t>, 5> xml = {
        {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}}};
    for (const auto& [entity, code] : xml) {
        if (name == entity)
            return QString(QChar(code));
    }
    if (name.size() > 8)
        return {};
    const QByteArray key = name.toLatin1();
    const std::string_view wanted(key.constData(), static_cast<size_t>(key.size()));
    for (size_t i = 0; i < latin1.size(); ++i) {
        if (latin1[i] == wanted)
            return QString(QChar(char16_t(0xA0 + i)));
    }
    for (const auto& [entity, code] : others) {
        if (entity == wanted)
            return QString(QChar(code));
    }
    return {};
}

namespace {

// The character of a numeric reference's digits ("#233", "#xE9"), null when
// they name none.
QString numericCharacter(QStringView digits) {
    bool ok = false;
    const uint code = digits.startsWith(u'x') || digits.startsWith(u'X')
                          ? digits.sliced(1).toUInt(&ok, 16)
                          : digits.toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {};
    const char32_t c = code;
    return QString::fromUcs4(&c, 1);
}

} // namespace

QString withReferencesResolved(QStringView text) {
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype amp = text.indexOf(u'&', at);
        if (amp < 0) {
            out += text.sliced(at);
            break;
        }
        out += text.sliced(at, amp - at);
        const qsizetype semicolon = text.indexOf(u';', amp + 1);
        QString character;
        if (semicolon > amp + 1 && semicolon - amp <= 32) {
            const QStringView name = text.sliced(amp + 1, semicolon - amp - 1);
            character =
                name.startsWith(u'#') ? numericCharacter(name.sliced(1)) : namedCharacter(name);
        }
        if (character.isNull()) {
            out += u'&';
            at = amp + 1;
        } else {
            out += character;
            at = semicolon + 1;
        }
    }
    return out;
}

QString HtmlEntities::resolveUndeclaredEntity(const QString& name) {
    const QString character = namedCharacter(name);
    if (!character.isNull())
        return character;
    // The reader reads the replacement as markup: "&amp;" keeps the name
    // from being looked up again.
    return QStringLiteral("&amp;") + name + u';';
}
