#include "reading/reading_context.h"

#include <algorithm>

namespace {

bool isBreakChar(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

int ContextSpan::entryAt(qsizetype offset) const {
    if (isEmpty())
        return -1;
    const auto after = std::upper_bound(starts.cbegin(), starts.cend(), offset);
    const qsizetype i = std::max<qsizetype>(0, (after - starts.cbegin()) - 1);
    return entries[i];
}

bool ReadingContext::isLineBreak(const WordSequence& words, int i) {
    return !words.isBlank(i) && words.lengthOf(i) == 1 && isBreakChar(words.letter(i));
}

bool ReadingContext::isParagraphBreak(const WordSequence& words, int i) {
    return isLineBreak(words, i) && breaksParagraph(words.text(), words.startOf(i));
}

bool ReadingContext::breaksParagraph(QStringView text, qsizetype at) {
    // The line ends before its CR; the next begins after its LF.
    qsizetype lineEnd = at;
    if (text[at] == QLatin1Char('\n') && at > 0 && text[at - 1] == QLatin1Char('\r'))
        lineEnd = at - 1;
    qsizetype next = lineEnd + 1;
    if (next < text.size() && text[lineEnd] == QLatin1Char('\r') && text[next] == QLatin1Char('\n'))
        ++next;
    if (next >= text.size())
        return true;
    const QChar first = text[next];
    if (first.isSpace() || isBreakChar(first))
        return true;
    qsizetype lineStart = lineEnd;
    while (lineStart > 0 && lineEnd - lineStart < shortLine && !isBreakChar(text[lineStart - 1]))
        --lineStart;
    if (lineEnd - lineStart < shortLine)
        return true;
    // The last character of the line, closing quotes and brackets aside.
    for (qsizetype k = lineEnd - 1; k >= lineStart; --k) {
        const QChar c = text[k];
        if (c.isSpace() || c == u'»' || c == u'"' || c == u'”' || c == u'’' || c == u')')
            continue;
        return c == QLatin1Char('.') || c == QLatin1Char('?') || c == QLatin1Char('!') || c == u'…';
    }
    return false;
}

bool ReadingContext::endsSentence(const WordSequence& words, int i) {
    if (isLineBreak(words, i))
        return isParagraphBreak(words, i);
    if (words.isBlank(i))
        return false;
    const QStringView rest = words.rest(i);
    if (rest.isEmpty())
        return false;
    const QChar last = rest.back();
    return last == QLatin1Char('.') || last == QLatin1Char('?') || last == QLatin1Char('!');
}

qsizetype ReadingContext::wordLength(const WordSequence& words, int i) {
    const qsizetype start = words.startOf(i);
    qsizetype n = words.lengthOf(i);
    while (n > 1 && isBreakChar(words.text()[start + n - 1]))
        --n;
    return n;
}

int ReadingContext::shownEntry(const WordSequence& words, int position) {
    if (!words.holds(position))
        position = words.written() - 1;
    for (int i = position; i >= 0; --i) {
        if (isWord(words, i))
            return i;
    }
    return nextWord(words, position);
}

int ReadingContext::nextWord(const WordSequence& words, int entry) {
    for (int i = qMax(entry + 1, 0); i < words.written(); ++i) {
        if (isWord(words, i))
            return i;
    }
    return -1;
}

int ReadingContext::previousWord(const WordSequence& words, int entry) {
    for (int i = qMin(entry, words.written()) - 1; i >= 0; --i) {
        if (isWord(words, i))
            return i;
    }
    return -1;
}

int ReadingContext::sentenceStart(const WordSequence& words, int entry) {
    const auto startOfSentence = [&words](int of) {
        int first = of;
        for (int i = of - 1; i >= 0 && !endsSentence(words, i); --i) {
            if (isWord(words, i))
                first = i;
        }
        return first;
    };
    if (!words.holds(entry))
        return -1;
    const int start = startOfSentence(entry);
    if (start != entry)
        return start;
    const int before = previousWord(words, entry);
    return before < 0 ? entry : startOfSentence(before);
}

int ReadingContext::spanFirst(const WordSequence& words, int entry, int eachSide, int paragraph) {
    int first = entry;
    int taken = 0;
    bool ranOut = false;
    for (int i = entry - 1; i >= 0; --i) {
        if (taken >= paragraph && isParagraphBreak(words, i))
            break;
        if (!isWord(words, i))
            continue;
        if (taken == eachSide) {
            ranOut = true;
            break;
        }
        ++taken;
        first = i;
    }
    if (!ranOut)
        return first;
    // Begin with a whole sentence: after the first sentence end in the span.
    for (int i = first; i < entry; ++i) {
        if (endsSentence(words, i))
            return qMax(first, nextWord(words, i));
    }
    return first;
}

int ReadingContext::spanLast(const WordSequence& words, int entry, int eachSide, int paragraph) {
    int last = entry;
    int taken = 0;
    bool ranOut = false;
    for (int i = entry + 1; i < words.written(); ++i) {
        if (taken >= paragraph && isParagraphBreak(words, i))
            break;
        if (!isWord(words, i))
            continue;
        if (taken == eachSide) {
            ranOut = true;
            break;
        }
        ++taken;
        last = i;
    }
    if (!ranOut)
        return last;
    // End with a whole sentence: before the last sentence end in the span.
    for (int i = last; i > entry; --i) {
        if (endsSentence(words, i)) {
            if (isWord(words, i))
                return i;
            const int before = previousWord(words, i);
            return before >= entry ? before : last;
        }
    }
    return last;
}

ContextSpan ReadingContext::spanAround(const WordSequence& words, int entry, int eachSide,
                                       int paragraph) {
    ContextSpan span;
    if (!words.holds(entry) || !isWord(words, entry))
        return span;
    int first = spanFirst(words, entry, eachSide, paragraph);
    int last = spanLast(words, entry, eachSide, paragraph);
    const auto endOf = [&words](int i) { return words.startOf(i) + wordLength(words, i); };
    // Too many characters: words go from the farther side until they fit.
    while (endOf(last) - words.startOf(first) > maxCharacters && first != last) {
        if (entry - first > last - entry)
            first = nextWord(words, first);
        else
            last = previousWord(words, last);
    }
    span.current = entry;
    span.begin = words.startOf(first);
    span.end = qMin(endOf(last), span.begin + maxCharacters);
    for (int i = first; i <= last; ++i) {
        if (isWord(words, i) && words.startOf(i) < span.end) {
            span.entries.append(i);
            span.starts.append(words.startOf(i));
        }
    }
    return span;
}

QString ReadingContext::panelText(const WordSequence& words, const ContextSpan& span) {
    QString text = words.text().mid(span.begin, span.end - span.begin);
    for (qsizetype k = 0; k < text.size(); ++k) {
        QChar& c = text[k];
        if (c == QLatin1Char('\r')) {
            const bool paragraph = breaksParagraph(words.text(), span.begin + k);
            c = paragraph ? QChar(QChar::LineSeparator) : QChar(QLatin1Char(' '));
        } else if (c == QLatin1Char('\n')) {
            c = QChar(0x200B);
        } else if (c.category() == QChar::Other_Control || c == QChar::ParagraphSeparator) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

std::pair<qsizetype, qsizetype> ReadingContext::wordRange(const WordSequence& words,
                                                          const ContextSpan& span, int entry) {
    if (!span.covers(entry) || !isWord(words, entry))
        return {0, 0};
    const qsizetype start = words.startOf(entry) - span.begin;
    const qsizetype length = qMin(wordLength(words, entry), span.end - words.startOf(entry));
    return {start, qMax<qsizetype>(0, length)};
}
