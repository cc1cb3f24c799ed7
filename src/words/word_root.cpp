#include "words/word_root.h"

#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The lists are literals whose entries are separated by single spaces. A piece
// of the word belongs to a list when it occurs anywhere in the literal, so a
// lone space matches the one-letter lists and a piece spanning a separator
// ("н о") matches too; these are the keys users' files hold, keep it so.
constexpr QStringView vowels = u"аеёиоуыэюяaeiou";
constexpr QStringView reflexiveEnding = u"ся";
constexpr QStringView englishEnding = u"ing";

// Every substring of length n of a list literal, packed into an integer, for
// a membership test without a search through the literal.
class Pieces {
public:
    Pieces(QStringView literal, qsizetype n) : m_n(n) {
        for (qsizetype i = 0; i + n <= literal.size(); ++i)
            m_keys.push_back(pack(literal.mid(i, n)));
        std::sort(m_keys.begin(), m_keys.end());
        m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    }
    // `piece` must have the length the set was made for.
    bool contains(QStringView piece) const {
        Q_ASSERT(piece.size() == m_n);
        return std::binary_search(m_keys.begin(), m_keys.end(), pack(piece));
    }

private:
    static std::uint64_t pack(QStringView piece) {
        std::uint64_t key = 0;
        for (const QChar c : piece)
            key = (key << 16) | c.unicode();
        return key;
    }
    qsizetype m_n;
    std::vector<std::uint64_t> m_keys;
};

const Pieces oneLetterEndings(u"й ь s", 1);
const Pieces threeLetterEndings(u"енн овл евл ённ анн ост ест", 3);
const Pieces twoLetterEndings(
    u"ам ям ом ем ин ём ся ет ит ут ют ат ят ыв ив ев ан ян ов ев ог ег ир ер ых ок ющ ущ er ed",
    2);
// Indexed by prefix length.
const Pieces prefixes[5] = {
    Pieces(u"", 0),
    Pieces(u"в с", 1),
    Pieces(u"на за ис из до по вы во со", 2),
    Pieces(u"при рас пре про под", 3),
    Pieces(u"пере", 4),
};

bool inList(QStringView piece, const Pieces& list) {
    return list.contains(piece);
}

bool isVowel(QChar c) {
    for (const QChar v : vowels) {
        if (v == c)
            return true;
    }
    return false;
}

QStringView tail(const QString& w, qsizetype n) {
    return QStringView(w).right(n);
}

void removeTrailingVowels(QString& w) {
    if (w.size() <= 3)
        return;
    qsizetype run = 0;
    while (run < w.size() && isVowel(w.at(w.size() - 1 - run)))
        ++run;
    w.chop(run);
}

void removeReflexive(QString& w) {
    if (w.size() > 3 && tail(w, 2) == reflexiveEnding)
        w.chop(2);
}

void onePass(QString& w) {
    removeReflexive(w);

    if (w.size() > 4 && tail(w, 3) == englishEnding)
        w.chop(3);

    removeTrailingVowels(w);

    if (w.size() > 3 && inList(tail(w, 1), oneLetterEndings))
        w.chop(1);

    removeReflexive(w);

    // Only two of the three matched characters go: the vowel that opens the
    // ending stays for the second vowel step.
    if (w.size() > 3) {
        while (w.size() > 3 && inList(tail(w, 3), threeLetterEndings))
            w.chop(2);
    }

    if (w.size() > 3) {
        while (w.size() > 3 && inList(tail(w, 2), twoLetterEndings))
            w.chop(2);
    }

    removeTrailingVowels(w);

    for (qsizetype n = 4; n >= 1; --n) {
        if (w.size() > n && inList(QStringView(w).left(n), prefixes[n]))
            w.remove(0, n);
    }
}

} // namespace

QString wordRoot(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 0x20)
        --end;
    QString root = s.mid(begin, end - begin).toLower();

    for (int pass = 0; pass < 2; ++pass)
        onePass(root);
    return root;
}
