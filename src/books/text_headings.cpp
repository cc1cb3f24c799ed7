#include "books/text_headings.h"

#include <QRegularExpression>

namespace {

// Longest line taken as a heading, in characters after trimming.
constexpr qsizetype longestHeading = 80;
// Headings in a row (blank lines between them only) still taken as chapters.
constexpr int longestRun = 3;

const QString roman =
    QStringLiteral("M{0,3}(?:CM|CD|D?C{0,3})(?:XC|XL|L?X{0,3})(?:IX|IV|V?I{0,3})");

const QRegularExpression& keywordHeading() {
    static const QRegularExpression re(
        QStringLiteral(
            "^(?:Глава|ГЛАВА|Часть|ЧАСТЬ|Том|ТОМ|Книга|КНИГА|Chapter|CHAPTER|Part|PART|Book|BOOK)"
            "\\s+(?:(?=[IVXLCDM])%1|\\d{1,4}|(?i:(?:перв|втор|трет|четв[её]рт|пят|шест|седьм|"
            "восьм|девят|десят|одиннадцат|двенадцат)(?:ая|ый|ой|ое|ий|ья|ье|ое)|one|two|three|"
            "four|five|six|seven|eight|nine|ten|eleven|twelve|thirteen|fourteen|fifteen|sixteen|"
            "seventeen|eighteen|nineteen|twenty|first|second|third|fourth|fifth|"
            "sixth|seventh|eighth|ninth|tenth))"
            "(?:[.:]?$|\\s*[.:—–-]\\s*\\S.*$)")
            .arg(roman));
    return re;
}

const QRegularExpression& wordAlone() {
    static const QRegularExpression re(
        QStringLiteral("^(?:(?:first|second|third) )?(?:пролог|эпилог|prologue|epilogue)"
                       "(?:\\.?$|\\s*[.:—–-]\\s*\\S.*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression& numeralAlone() {
    static const QRegularExpression re(QStringLiteral("^(?=[IVXLCDM])%1\\.?$").arg(roman));
    return re;
}

} // namespace

QList<ChapterMark> textHeadings(QStringView text) {
    QList<ChapterMark> marks;
    QList<ChapterMark> run; // the headings since the last line of text
    bool afterBreak = true; // the start of the text, a blank line or a heading before
    const auto endRun = [&] {
        if (run.size() <= longestRun) {
            marks.append(run);
        } else {
            // A table of contents that the text's first headings follow at
            // once: they repeat its first title.
            for (qsizetype k = run.size() - 1; k > 0 && run.size() - k <= longestRun; --k) {
                if (run[k].title == run[0].title) {
                    marks.append(run.mid(k));
                    break;
                }
            }
        }
        run.clear();
    };
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.mid(start, end - start).trimmed();
        if (line.isEmpty()) {
            afterBreak = true;
        } else {
            bool heading = false;
            if (line.size() <= longestHeading) {
                const QString s = line.toString();
                heading = keywordHeading().match(s).hasMatch() || wordAlone().match(s).hasMatch() ||
                          (afterBreak && numeralAlone().match(s).hasMatch());
            }
            if (heading) {
                run.append({start, line.toString().simplified()});
                afterBreak = true;
            } else {
                endRun();
                afterBreak = false;
            }
        }
        start = end + 1;
    }
    endRun();
    return marks;
}
