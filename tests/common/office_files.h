#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Word, OpenDocument and PDF files made in the tests themselves.
namespace officefiles {

// Text escaped for XML.
QString escaped(const QString& text);

// A Word document: `body` is what goes into w:body, `styles` into w:styles
// (no styles.xml without it), the title and author go into
// docProps/core.xml (none without a title).
QByteArray docx(const QString& body, const QString& styles = {}, const QString& title = {},
                const QString& author = {});
// The paragraphs of w:body, one a line of `text`.
QString docxParagraphs(const QString& text);

// An OpenDocument text: `text` is what goes into office:text; the title
// and author go into meta.xml (none without a title).
QByteArray odt(const QString& text, const QString& title = {}, const QString& author = {});
// The text:p elements, one a line of `text`.
QString odtParagraphs(const QString& text);

// A PDF document written here, object by object, in the base font
// Helvetica (Latin text only). Each page is a list of lines placed at
// (x, y) from the top left, in points.
struct PdfText {
    qreal x = 72;
    qreal y = 72;
    QString text;
};
struct RawPdf {
    QList<QList<PdfText>> pages;
    int emptyPages = 0;                 // more pages with nothing on them
    QList<QPair<QString, int>> outline; // titles and their pages (from 0)
    bool password = false;              // opens only with a password
    bool imageOnly = false;             // each page an image, no text
};
QByteArray rawPdf(const RawPdf& pdf);

// A PDF document of `text` (any script) drawn with Qt's PDF writer: lines
// wrapped at spaces, a paragraph a line of `text` with its first line
// indented; on every page a running head `header` and the page's number
// at its foot. Needs a QGuiApplication.
QByteArray textPdf(const QString& text, const QString& header, int linesPerPage = 40,
                   qreal pointSize = 10);

} // namespace officefiles
