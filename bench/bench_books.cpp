// Opening War and Peace as UTF-8 TXT, Windows-1251 TXT, FB2, EPUB, DOCX and
// a PDF of about 1,500 pages (each made here from the corpus text) in the real
// window: the time from asking to
// open until the text is in the text box, and the longest time a pending
// event waited meanwhile. Also the reading of each file alone.
#include "app/book_opener.h"
#include "book_files.h"
#include "books/book_reader.h"
#include "office_files.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/file_dialog.h"
#include "platform/hotkeys.h"
#include "platform/message_boxes.h"
#include "reading/reader.h"
#include "ui/closing_dialog.h"
#include "ui/main_window.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>

namespace {

QString novel() {
    QFile f(QDir(QStringLiteral(KESTRIX_CORPUS_DEFAULT))
                .filePath(QStringLiteral("ru_tolstoy_voina_i_mir.txt")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString escaped(QString line) {
    return line.replace(u'&', u"&amp;"_qs).replace(u'<', u"&lt;"_qs).replace(u'>', u"&gt;"_qs);
}

// The novel's paragraphs as XML paragraphs, `perPart` to a part.
QStringList parts(const QString& text, int perPart, const QString& open, const QString& close) {
    QStringList result;
    QString part;
    int count = 0;
    for (const QString& line : text.split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        part += open + escaped(line.trimmed()) + close;
        if (++count % perPart == 0)
            result.append(std::exchange(part, QString()));
    }
    if (!part.isEmpty())
        result.append(part);
    return result;
}

// The files, made once.
struct Files {
    QTemporaryDir dir;
    QString utf8, cp1251, fb2, epub, docx, pdf;
    Files() {
        const QString text = novel();
        utf8 = dir.filePath(u"voina.txt"_qs);
        cp1251 = dir.filePath(u"voina-1251.txt"_qs);
        fb2 = dir.filePath(u"voina.fb2"_qs);
        epub = dir.filePath(u"voina.epub"_qs);
        bookfiles::write(utf8, text.toUtf8());
        bookfiles::write(cp1251, toCodePage(text));
        bookfiles::write(
            fb2,
            bookfiles::fb2(u"<body><section>"_qs +
                           parts(text, 200, u"<p>"_qs, u"</p>"_qs).join(u"</section><section>"_qs) +
                           u"</section></body>"_qs));
        bookfiles::Epub book;
        const QStringList chapters = parts(text, 200, u"<p>"_qs, u"</p>"_qs);
        for (qsizetype i = 0; i < chapters.size(); ++i)
            book.documents.append(
                {QStringLiteral("OEBPS/Text/part%1.xhtml").arg(i), bookfiles::xhtml(chapters[i])});
        bookfiles::write(epub, bookfiles::epub(book));
        docx = dir.filePath(u"voina.docx"_qs);
        bookfiles::write(docx, officefiles::docx(parts(text, 1 << 30,
                                                       u"<w:p><w:r><w:t xml:space=\"preserve\">"_qs,
                                                       u"</w:t></w:r></w:p>"_qs)
                                                     .join(QString())));
        // 10-point lines, 26 to a page: about 1,500 pages.
        pdf = dir.filePath(u"voina.pdf"_qs);
        bookfiles::write(pdf, officefiles::textPdf(text, u"Л. Н. Толстой. Война и мир"_qs, 26));
    }
    QString path(int format) const {
        switch (format) {
        case 0:
            return utf8;
        case 1:
            return cp1251;
        case 2:
            return fb2;
        case 3:
            return epub;
        case 4:
            return docx;
        default:
            return pdf;
        }
    }
};

const Files& files() {
    static const Files f;
    return f;
}

class NoBoxes final : public MessageBoxes {
public:
    Answer show(QWidget*, const QString&, const QString&, Buttons) override { return Answer::Ok; }
};

class NoDialog final : public FileDialog {
public:
    QString openFile(QWidget*, const QString&, const QString&) override { return {}; }
};

// The main window with its reader, so that the text box's change handling
// runs as in the program, holding the novel as a restored book would.
struct Window {
    QTemporaryDir dir;
    MainWindow form;
    ClosingDialog closing;
    ReadingState state;
    WordLibrary library;
    ManualHotkeys hotkeys;
    NoBoxes boxes;
    NoDialog dialog;
    SystemClock clock;
    Reader reader{form, closing, state, library,
                  Reader::Services{boxes,
                                   hotkeys,
                                   clock,
                                   TimeFormat(),
                                   {dir.filePath(QStringLiteral("library.txt")), {}}}};
    BookOpener opener{form, boxes, dialog};
    Window() {
        form.resize(MainWindow::clientWidth, 555);
        form.textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        form.textBox->setPlainText(novel());
        form.show();
        QCoreApplication::processEvents();
    }
};

void BM_OpenIntoTextBox(benchmark::State& st) {
    const QString path = files().path(static_cast<int>(st.range(0)));
    Window w;
    double longestGapMs = 0;
    for (auto _ : st) {
        using Clock = std::chrono::steady_clock;
        Clock::time_point last = Clock::now();
        double gap = 0;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            const double g = std::chrono::duration<double, std::milli>(now - last).count();
            gap = std::max(gap, g);
            last = now;
        });
        QEventLoop loop;
        bool placed = false;
        QObject::connect(&w.opener, &BookOpener::finished, &loop, [&](bool ok) {
            placed = ok;
            loop.quit();
        });
        probe.start();
        QElapsedTimer t;
        t.start();
        last = Clock::now();
        w.opener.open(path);
        loop.exec();
        st.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        probe.stop();
        if (!placed)
            st.SkipWithError("the book was not opened");
        longestGapMs = std::max(longestGapMs, gap);
    }
    st.counters["longest_event_gap_ms"] = longestGapMs;
    st.counters["chars"] = double(w.form.textBox->document()->characterCount());
}
BENCHMARK(BM_OpenIntoTextBox)
    ->ArgName("txt_utf8_txt_1251_fb2_epub_docx_pdf")
    ->DenseRange(0, 5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// This process's resident memory (VmRSS) or its peak (VmHWM), in bytes.
double residentBytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toDouble() * 1024;
    }
    return 0;
}

// Starts measuring the peak of resident memory anew; false where it cannot.
bool resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// Reading the file alone, on this thread; with the memory the reading took
// at its peak beyond what the process held before, against the text's own
// size (UTF-16, as the text box gets it).
void BM_ReadBookFile(benchmark::State& st) {
    const QString path = files().path(static_cast<int>(st.range(0)));
    double peakRatio = 0;
    for (auto _ : st) {
        const bool measured = resetPeak();
        const double before = residentBytes("VmRSS:");
        BookProgress progress;
        const BookText book = readBookFile(path, BookLimits(), progress);
        benchmark::DoNotOptimize(book.text.size());
        if (!book.ok())
            st.SkipWithError("the book was not read");
        const double text = double(book.text.size()) * 2;
        if (measured && text > 0)
            peakRatio = std::max(peakRatio, (residentBytes("VmHWM:") - before) / text);
    }
    st.counters["peak_over_text"] = peakRatio;
}
BENCHMARK(BM_ReadBookFile)
    ->ArgName("txt_utf8_txt_1251_fb2_epub_docx_pdf")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
