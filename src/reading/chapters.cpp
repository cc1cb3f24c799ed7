#include "reading/chapters.h"

#include "reading/word_sequence.h"

#include <algorithm>

namespace {

// The offset in the text as Start cuts it (every line break as CR LF) of
// each offset of `sorted` (ascending) in `text`.
QList<qsizetype> startTextOffsets(QStringView text, const QList<qsizetype>& sorted) {
    QList<qsizetype> out;
    out.reserve(sorted.size());
    qsizetype shift = 0; // what the line breaks before `i` added
    qsizetype i = 0;
    for (const qsizetype offset : sorted) {
        const qsizetype stop = qBound<qsizetype>(0, offset, text.size());
        for (; i < stop; ++i) {
            const char16_t c = text[i].unicode();
            if (c == u'\n' || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1)
                ++shift;
            else if (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))
                ++shift;
        }
        out.append(stop + shift);
    }
    return out;
}

// Whether entry i holds a word: neither a blank nor a line break alone.
bool isWord(const WordSequence& words, int i) {
    if (words.isBlank(i))
        return false;
    const QChar letter = words.letter(i);
    return !((letter == u'\r' || letter == u'\n') && words.left(i).isEmpty() &&
             words.rest(i).isEmpty());
}

// Where the word of entry i (not blank) begins in the sequence's text: its
// left part is a view into that text.
qsizetype wordStart(const WordSequence& words, int i) {
    return words.left(i).data() - words.text().constData();
}

void sortMarks(QList<ChapterMark>& marks) {
    std::stable_sort(marks.begin(), marks.end(), [](const ChapterMark& a, const ChapterMark& b) {
        return a.offset < b.offset;
    });
}

} // namespace

QList<ChapterMark> startTextMarks(QStringView bookText, QList<ChapterMark> marks) {
    sortMarks(marks);
    QList<qsizetype> offsets;
    offsets.reserve(marks.size());
    for (const ChapterMark& mark : marks)
        offsets.append(mark.offset);
    offsets = startTextOffsets(bookText, offsets);
    for (qsizetype m = 0; m < marks.size(); ++m)
        marks[m].offset = offsets[m];
    return marks;
}

QList<Chapter> chapterEntries(const WordSequence& words, QList<ChapterMark> startMarks) {
    sortMarks(startMarks);
    QList<Chapter> chapters;
    const int count = words.written();
    int entry = 0;
    for (const ChapterMark& mark : startMarks) {
        while (entry < count && (!isWord(words, entry) || wordStart(words, entry) < mark.offset))
            ++entry;
        if (entry >= count)
            break;
        if (!chapters.isEmpty() && chapters.last().entry == entry)
            continue;
        chapters.append({entry, mark.title});
    }
    return chapters;
}

QList<Chapter> soundChapters(QList<Chapter> chapters, int entryCount) {
    chapters.removeIf(
        [entryCount](const Chapter& c) { return c.entry < 0 || c.entry >= entryCount; });
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const Chapter& a, const Chapter& b) { return a.entry < b.entry; });
    const auto last =
        std::unique(chapters.begin(), chapters.end(),
                    [](const Chapter& a, const Chapter& b) { return a.entry == b.entry; });
    chapters.erase(last, chapters.end());
    for (Chapter& c : chapters) {
        QString title = c.title.left(longestTitle * 4);
        for (QChar& ch : title) {
            if (ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format ||
                ch.category() == QChar::Separator_Line ||
                ch.category() == QChar::Separator_Paragraph)
                ch = u' ';
        }
        title = title.simplified();
        if (title.size() > longestTitle)
            title = title.left(longestTitle - 1) + u'…';
        c.title = title;
    }
    return chapters;
}

int chapterAt(const QList<Chapter>& chapters, int position) {
    const auto after = std::upper_bound(chapters.begin(), chapters.end(), position,
                                        [](int p, const Chapter& c) { return p < c.entry; });
    return static_cast<int>(after - chapters.begin()) - 1;
}

int chapterEnd(const QList<Chapter>& chapters, int position, int entryCount) {
    const int next = chapterAt(chapters, position) + 1;
    if (chapters.isEmpty() || next >= chapters.size())
        return entryCount;
    return chapters[next].entry;
}
