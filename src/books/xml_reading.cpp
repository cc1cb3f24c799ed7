#include "books/xml_reading.h"

#include "books/html_entities.h"
#include "books/text_decoding.h"

#include <QRegularExpression>

#include <optional>

namespace {

// The encoding named in the XML declaration at the start, if any.
QByteArray declaredEncoding(const QByteArray& bytes) {
    const QByteArray head = bytes.left(512);
    if (!head.startsWith("<?xml"))
        return {};
    static const QRegularExpression pattern(
        QStringLiteral("^<\\?xml[^>]*?encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(head));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

// The encoding that the byte-order mark or the declaration names, UTF-8 when
// none does.
QByteArray namedEncoding(const QByteArray& bytes) {
    QByteArray encoding = byteOrderMark(bytes);
    if (encoding.isEmpty() && bytes.startsWith(QByteArrayLiteral("<\0?\0")))
        encoding = "UTF-16LE";
    if (encoding.isEmpty() && bytes.startsWith(QByteArrayLiteral("\0<\0?")))
        encoding = "UTF-16BE";
    if (encoding.isEmpty())
        encoding = declaredEncoding(bytes);
    return encoding.isEmpty() ? QByteArray("UTF-8") : encoding;
}

} // namespace

bool isOneOf(QStringView name, std::initializer_list<const char16_t*> names) {
    for (const char16_t* n : names) {
        if (name == QStringView(n))
            return true;
    }
    return false;
}

bool fitsNamedEncoding(const QByteArray& bytes) {
    return decodeStrictly(bytes, namedEncoding(bytes)).has_value();
}

QString decodeXml(const QByteArray& bytes) {
    if (std::optional<QString> text = decodeStrictly(bytes, namedEncoding(bytes)))
        return std::move(*text);
    return decodePlainText(bytes).text;
}

XmlWalk::XmlWalk(const QByteArray& xml, const BookLimits& limits, BookProgress& progress,
                 bool htmlEntities)
    : m_limits(limits), m_progress(progress), m_length(xml.size()) {
    m_buffer.setData(xml);
    m_buffer.open(QIODevice::ReadOnly);
    m_reader.setDevice(&m_buffer);
    useEntities(htmlEntities);
}

XmlWalk::XmlWalk(const QString& xml, const BookLimits& limits, BookProgress& progress,
                 bool htmlEntities)
    : m_reader(xml), m_limits(limits), m_progress(progress), m_length(xml.size()) {
    useEntities(htmlEntities);
}

void XmlWalk::useEntities(bool htmlEntities) {
    if (htmlEntities) {
        m_entities = std::make_unique<HtmlEntities>();
        m_reader.setEntityResolver(m_entities.get());
    }
}

XmlWalk::~XmlWalk() {
    m_reader.setEntityResolver(nullptr);
}

bool XmlWalk::next() {
    if (m_error.failed())
        return false;
    if (m_reader.isEndElement())
        --m_depth;
    m_reader.readNext();
    if ((++m_tokens & 255) == 0) {
        if (m_progress.cancelled()) {
            fail({BookFailure::Cancelled, {}});
            return false;
        }
        m_progress.report(m_buffer.isOpen() ? m_buffer.pos() : m_reader.characterOffset(),
                          m_length);
    }
    if (m_reader.hasError()) {
        fail({BookFailure::Damaged, QStringLiteral("XML, строка %1: %2")
                                        .arg(m_reader.lineNumber())
                                        .arg(m_reader.errorString())});
        return false;
    }
    if (m_reader.isStartElement() && ++m_depth > m_limits.xmlDepth) {
        fail({BookFailure::Damaged,
              QStringLiteral("элементы XML вложены глубже %1 уровней").arg(m_limits.xmlDepth)});
        return false;
    }
    return !m_reader.atEnd();
}

QString XmlWalk::attribute(QStringView name) const {
    const QXmlStreamAttributes attributes = m_reader.attributes();
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == name)
            return a.value().toString();
    }
    return {};
}

void XmlWalk::fail(BookError error) {
    if (!m_error.failed())
        m_error = std::move(error);
}
