#include "office_files.h"

#include "book_files.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>

namespace officefiles {

namespace {

const QString wordNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

QString paragraphs(const QString& text, const QString& open, const QString& close) {
    QString out;
    const QStringList lines = text.split(u'\n');
    for (const QString& line : lines)
        out += open + escaped(line) + close;
    return out;
}

} // namespace

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QByteArray docx(const QString& body, const QString& styles, const QString& title,
                const QString& author) {
    QList<bookfiles::Entry> entries = {
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats."
         "org/package/2006/content-types\"><Default Extension=\"xml\" ContentType=\"application/"
         "xml\"/></Types>"},
        {QStringLiteral("word/document.xml"),
         (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<w:document xmlns:w=\"") +
          wordNamespace +
          QStringLiteral("\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/"
                         "2006\"><w:body>") +
          body + QStringLiteral("<w:sectPr/></w:body></w:document>"))
             .toUtf8()},
    };
    if (!styles.isEmpty())
        entries.append(
            {QStringLiteral("word/styles.xml"),
             (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:styles "
                             "xmlns:w=\"") +
              wordNamespace + QStringLiteral("\">") + styles + QStringLiteral("</w:styles>"))
                 .toUtf8()});
    if (!title.isEmpty())
        entries.append(
            {QStringLiteral("docProps/core.xml"),
             (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties "
                             "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
                             "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                             "<dc:title>") +
              escaped(title) + QStringLiteral("</dc:title><dc:creator>") + escaped(author) +
              QStringLiteral("</dc:creator></cp:coreProperties>"))
                 .toUtf8()});
    return bookfiles::zip(entries);
}

QString docxParagraphs(const QString& text) {
    return paragraphs(text, QStringLiteral("<w:p><w:r><w:t xml:space=\"preserve\">"),
                      QStringLiteral("</w:t></w:r></w:p>"));
}

QByteArray odt(const QString& text, const QString& title, const QString& author) {
    const QString office = QStringLiteral(
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" office:version=\"1.3\"");
    QList<bookfiles::Entry> entries = {
        {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", true},
        {QStringLiteral("content.xml"),
         (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content ") +
          office + QStringLiteral("><office:automatic-styles/><office:body><office:text>") + text +
          QStringLiteral("</office:text></office:body></office:document-content>"))
             .toUtf8()},
        {QStringLiteral("META-INF/manifest.xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest xmlns:manifest=\"urn:oasis:"
         "names:tc:opendocument:xmlns:manifest:1.0\"/>"},
    };
    if (!title.isEmpty())
        entries.append({QStringLiteral("meta.xml"),
                        (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                        "<office:document-meta ") +
                         office + QStringLiteral("><office:meta><dc:title>") + escaped(title) +
                         QStringLiteral("</dc:title><meta:initial-creator>") + escaped(author) +
                         QStringLiteral("</meta:initial-creator><dc:creator>Редактор"
                                        "</dc:creator></office:meta></office:document-meta>"))
                            .toUtf8()});
    return bookfiles::zip(entries);
}

QString odtParagraphs(const QString& text) {
    return paragraphs(text, QStringLiteral("<text:p>"), QStringLiteral("</text:p>"));
}

QByteArray rawPdf(const RawPdf& pdf) {
    // Objects: 1 catalog, 2 page tree, 3 font, 4 outline root, 5 image,
    // 6 encryption; then each page and its contents, then the outline's items.
    QList<QByteArray> objects(6);
    objects[2] =
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>";
    objects[4] = "<< /Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceGray "
                 "/BitsPerComponent 8 /Length 4 >>\nstream\n\x10\x80\x80\x10\nendstream";
    objects[5] = "<< /Filter /Standard /V 1 /R 2 /Length 40 /P -4 /O <" + QByteArray(64, 'a') +
                 "> /U <" + QByteArray(64, 'b') + "> >>";
    QByteArray kids;
    QList<QByteArray> pageObjects;
    const qsizetype pageCount = pdf.pages.size() + pdf.emptyPages;
    for (qsizetype i = 0; i < pageCount; ++i) {
        pageObjects.append(QByteArray::number(objects.size() + 1));
        kids += pageObjects.last() + " 0 R ";
        if (i >= pdf.pages.size() && !pdf.imageOnly) {
            objects.append("<< /Type /Page /Parent 2 0 R >>");
            continue;
        }
        QByteArray content;
        if (pdf.imageOnly) {
            content = "q 400 0 0 600 100 100 cm /Im0 Do Q";
        } else {
            for (const PdfText& line : pdf.pages[i]) {
                QByteArray text = line.text.toLatin1();
                text.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
                content += "BT /F1 12 Tf " + QByteArray::number(line.x) + ' ' +
                           QByteArray::number(792 - line.y) + " Td (" + text + ") Tj ET\n";
            }
        }
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font "
                       "<< /F1 3 0 R >> /XObject << /Im0 5 0 R >> >> /Contents " +
                       QByteArray::number(objects.size() + 2) + " 0 R >>");
        objects.append("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" +
                       content + "\nendstream");
    }
    objects[1] = "<< /Type /Pages /MediaBox [0 0 612 792] /Kids [" + kids + "] /Count " +
                 QByteArray::number(pageCount) + " >>";
    const qsizetype firstItem = objects.size() + 1;
    const qsizetype items = pdf.outline.size();
    for (qsizetype i = 0; i < items; ++i) {
        QByteArray item = "<< /Title (" + pdf.outline[i].first.toLatin1() +
                          ") /Parent 4 0 R /Dest [" + pageObjects[pdf.outline[i].second] +
                          " 0 R /XYZ 0 792 0]";
        if (i > 0)
            item += " /Prev " + QByteArray::number(firstItem + i - 1) + " 0 R";
        if (i + 1 < items)
            item += " /Next " + QByteArray::number(firstItem + i + 1) + " 0 R";
        objects.append(item + " >>");
    }
    objects[3] = items == 0 ? QByteArray("<< /Type /Outlines /Count 0 >>")
                            : "<< /Type /Outlines /First " + QByteArray::number(firstItem) +
                                  " 0 R /Last " + QByteArray::number(firstItem + items - 1) +
                                  " 0 R /Count " + QByteArray::number(items) + " >>";
    objects[0] = "<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>";

    QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<qsizetype> offsets;
    offsets.reserve(objects.size());
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(out.size());
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : std::as_const(offsets))
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R";
    if (pdf.password)
        out += " /Encrypt 6 0 R /ID [<0123456789abcdef0123456789abcdef> "
               "<0123456789abcdef0123456789abcdef>]";
    out += " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

QByteArray textPdf(const QString& text, const QString& header, int linesPerPage, qreal pointSize) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(pointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &writer);
    const qreal left = 60, top = 60, width = writer.width() - 2 * left;
    const qreal step = metrics.lineSpacing() * 1.1;
    const qreal indent = metrics.horizontalAdvance(QStringLiteral("MMM"));
    int page = 1;
    int line = 0;
    const auto drawLine = [&](const QString& words, qreal x) {
        if (line == linesPerPage) {
            writer.newPage();
            ++page;
            line = 0;
        }
        if (line == 0) {
            painter.drawText(QPointF(left, top - 2 * step), header);
            painter.drawText(QPointF(writer.width() / 2, top + (linesPerPage + 2) * step),
                             QString::number(page));
        }
        painter.drawText(QPointF(x, top + line * step), words);
        ++line;
    };
    const QStringList paragraphs = text.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& paragraph : paragraphs) {
        const QStringList words = paragraph.split(u' ', Qt::SkipEmptyParts);
        QString current;
        qreal x = left + indent;
        qreal used = 0;
        const qreal space = metrics.horizontalAdvance(u' ');
        for (const QString& word : words) {
            const qreal advance = metrics.horizontalAdvance(word);
            if (!current.isEmpty() && used + space + advance > width - (x - left)) {
                drawLine(current, x);
                x = left;
                current.clear();
                used = 0;
            }
            if (!current.isEmpty()) {
                current += u' ';
                used += space;
            }
            current += word;
            used += advance;
        }
        if (!current.isEmpty())
            drawLine(current, x);
    }
    painter.end();
    return bytes;
}

} // namespace officefiles
