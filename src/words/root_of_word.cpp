#include "words/root_of_word.h"

#include <QStringView>

namespace {

// The lists are literals whose entries are separated by single spaces. A piece
// of the word belongs to a list when it occurs anywhere in the literal, so a
// lone space matches the one-letter lists and a piece spanning a separator
// ("н о") matches too; these are the keys users' files hold, keep it so.
constexpr QStringView vowels = u"аеёиоуыэюяaeiou";
constexpr QStringView oneLetterEndings = u"й ь s";
constexpr QStringView reflexiveEnding = u"ся";
constexpr QStringView englishEnding = u"ing";
constexpr QStringView threeLetterEndings = u"енн овл евл ённ анн ост ест";
constexpr QStringView twoLetterEndings =
    u"ам ям ом ем ин ём ся ет ит ут ют ат ят ыв ив ев ан ян ов ев ог ег ир ер ых ок ющ ущ er ed";
// Indexed by prefix length.
constexpr QStringView prefixes[5] = {
    u"", u"в с", u"на за ис из до по вы во со", u"при рас пре про под", u"пере",
};

bool inList(QStringView piece, QStringView list) {
    return list.contains(piece);
}

QStringView tail(const QString& w, qsizetype n) {
    return QStringView(w).right(n);
}

void removeTrailingVowels(QString& w) {
    if (w.size() <= 3)
        return;
    qsizetype run = 0;
    while (run < w.size() && vowels.contains(w.at(w.size() - 1 - run)))
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

QString RootOfWord(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 0x20)
        --end;
    QString sResult = s.mid(begin, end - begin).toLower();

    for (int iCheckCount = 0; iCheckCount < 2; ++iCheckCount)
        onePass(sResult);
    return sResult;
}
