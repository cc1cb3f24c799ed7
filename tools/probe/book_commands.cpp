#include "books/book_reader.h"
#include "probe/commands.h"
#include "probe/output.h"

#include <QFileInfo>

#include <cstdio>

// open FILE: the text the text box receives when FILE is opened, as UTF-8.
int probeOpen(const QStringList& args) {
    if (args.size() != 1) {
        probe::writeError(QStringLiteral("usage: kestrix-probe open FILE"));
        return 2;
    }
    BookProgress progress;
    const BookText book = readBookFile(args[0], BookLimits(), progress);
    if (!book.ok()) {
        probe::writeError(bookFailureMessage(QFileInfo(args[0]).fileName(), book.error));
        return 1;
    }
    const QByteArray bytes = book.text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return 0;
}
