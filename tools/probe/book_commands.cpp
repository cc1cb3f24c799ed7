#include "books/book_reader.h"
#include "probe/commands.h"
#include "probe/output.h"
#include "reading/chapters.h"
#include "reading/preparation.h"

#include <QFileInfo>

#include <cstdio>

// open [--chapters] FILE: the text the text box receives when FILE is opened,
// as UTF-8; with --chapters, where its chapters begin instead, a line each:
// the offset into the text (in UTF-16 code units), a tab, the title.
int probeOpen(const QStringList& args) {
    const bool chapters = args.size() == 2 && args[0] == u"--chapters";
    if (args.size() != 1 && !chapters) {
        probe::writeError(QStringLiteral("usage: kestrix-probe open [--chapters] FILE"));
        return 2;
    }
    const QString path = args.last();
    BookProgress progress;
    const BookText book = readBookFile(path, BookLimits(), progress);
    const QString name = QFileInfo(path).fileName();
    if (!book.ok()) {
        probe::writeError(bookFailureMessage(name, book.error));
        return 1;
    }
    if (const QString damage = bookDamageMessage(name, book); !damage.isEmpty())
        probe::writeError(damage);
    QString out;
    if (chapters) {
        for (const ChapterMark& chapter : book.chapters)
            out += QString::number(chapter.offset) + u'\t' + chapter.title + u'\n';
    } else {
        out = book.text;
    }
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return 0;
}

// chapters FILE: where the chapters of the book file FILE begin in the word
// sequence Start makes of its text, a line each: the entry index, a tab, the
// title.
int probeChapters(const QStringList& args) {
    if (args.size() != 1) {
        probe::writeError(QStringLiteral("usage: kestrix-probe chapters FILE"));
        return 2;
    }
    BookProgress progress;
    const BookText book = readBookFile(args[0], BookLimits(), progress);
    if (!book.ok()) {
        probe::writeError(bookFailureMessage(QFileInfo(args[0]).fileName(), book.error));
        return 1;
    }
    WordSequence words;
    cutWhole(words, book.text);
    QString out;
    for (const Chapter& chapter : chapterEntries(words, startTextMarks(book.text, book.chapters)))
        out += QString::number(chapter.entry) + u'\t' + chapter.title + u'\n';
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return 0;
}
