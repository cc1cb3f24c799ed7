#include "books/xml_reading.h"

#include "books/html_entities.h"
#include "books/lenient_xml.h"
#include "books/text_decoding.h"
#include "platform/codepage.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
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

QString decodeXml(const QByteArray& bytes) {
    const QByteArray encoding = namedEncoding(bytes);
    if (std::optional<QString> text = decodeStrictly(bytes, encoding))
        return std::move(*text);
    if (encoding.compare("UTF-8", Qt::CaseInsensitive) == 0 && mostlyUtf8(bytes))
        return QStringDecoder(QStringDecoder::Utf8).decode(bytes);
    return decodePlainText(bytes).text;
}

XmlWalk::XmlWalk(const QString& xml, const BookLimits& limits, BookProgress& progress, bool lenient)
    : m_limits(limits), m_progress(progress), m_length(xml.size()) {
    if (lenient) {
        m_lenient = std::make_unique<LenientXml>(xml, limits.tagAttributes);
        return;
    }
    m_reader = std::make_unique<QXmlStreamReader>(xml);
    m_entities = std::make_unique<HtmlEntities>();
    m_reader->setEntityResolver(m_entities.get());
    // The reader's time on one tag grows with the square of its attributes,
    // with no way to stop it meanwhile: such a tag is refused before.
    if (tooManyAttributes(xml))
        fail({BookFailure::Damaged,
              QStringLiteral("в одном теге XML больше %1 атрибутов").arg(limits.tagAttributes)});
}

XmlWalk::~XmlWalk() {
    if (m_reader)
        m_reader->setEntityResolver(nullptr);
}

// Counts the attributes of each start tag: its '=' outside quoted values.
bool XmlWalk::tooManyAttributes(QStringView xml) {
    const QChar* p = xml.data();
    const QChar* const end = p + xml.size();
    while (p != end) {
        p = std::find(p, end, u'<');
        if (p == end)
            break;
        ++p;
        if (p == end || *p == u'!' || *p == u'?' || *p == u'/')
            continue;
        int attributes = 0;
        QChar quote;
        for (; p != end; ++p) {
            if (!quote.isNull()) {
                if (*p == quote)
                    quote = QChar();
            } else if (*p == u'"' || *p == u'\'') {
                quote = *p;
            } else if (*p == u'=') {
                if (++attributes > m_limits.tagAttributes)
                    return true;
            } else if (*p == u'>' || *p == u'<') {
                break;
            }
        }
    }
    return false;
}

bool XmlWalk::next() {
    if (m_error.failed())
        return false;
    if (m_token == Token::End)
        --m_depth;
    m_token = Token::None;
    const bool more = m_lenient ? nextLenient() : nextStrict();
    if (!more)
        return false;
    if ((++m_tokens & 255) == 0) {
        if (m_progress.cancelled()) {
            fail({BookFailure::Cancelled, {}});
            return false;
        }
        m_progress.report(m_lenient ? m_lenient->position() : m_reader->characterOffset(),
                          m_length);
    }
    if (m_token == Token::Start && ++m_depth > m_limits.xmlDepth) {
        fail({BookFailure::Damaged,
              QStringLiteral("элементы XML вложены глубже %1 уровней").arg(m_limits.xmlDepth)});
        return false;
    }
    return true;
}

bool XmlWalk::nextStrict() {
    for (;;) {
        m_reader->readNext();
        if (m_reader->hasError()) {
            m_malformed = m_reader->error() == QXmlStreamReader::NotWellFormedError ||
                          m_reader->error() == QXmlStreamReader::PrematureEndOfDocumentError;
            fail({BookFailure::Damaged, QStringLiteral("XML, строка %1: %2")
                                            .arg(m_reader->lineNumber())
                                            .arg(m_reader->errorString())});
            return false;
        }
        switch (m_reader->tokenType()) {
        case QXmlStreamReader::StartElement:
            m_token = Token::Start;
            return true;
        case QXmlStreamReader::EndElement:
            m_token = Token::End;
            return true;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            m_token = Token::Text;
            return true;
        case QXmlStreamReader::DTD:
            if (!m_reader->entityDeclarations().isEmpty()) {
                fail(
                    {BookFailure::Damaged, QStringLiteral("документ объявляет свои сущности XML")});
                return false;
            }
            break;
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Invalid:
            return false;
        default:
            break;
        }
    }
}

bool XmlWalk::nextLenient() {
    if (!m_lenient->next()) {
        if (!m_lenient->failure().isEmpty())
            fail({BookFailure::Damaged, m_lenient->failure()});
        return false;
    }
    switch (m_lenient->token()) {
    case LenientXml::Token::Start:
        m_token = Token::Start;
        break;
    case LenientXml::Token::End:
        m_token = Token::End;
        break;
    default:
        m_token = Token::Text;
        break;
    }
    return true;
}

QStringView XmlWalk::text() const {
    return m_lenient ? m_lenient->text() : m_reader->text();
}

QStringView XmlWalk::name() const {
    return m_lenient ? m_lenient->name() : m_reader->name();
}

QString XmlWalk::attribute(QStringView localName) const {
    if (m_lenient) {
        for (const auto& [name, value] : m_lenient->attributes()) {
            const qsizetype colon = name.lastIndexOf(u':');
            if (QStringView(name).sliced(colon + 1) == localName)
                return value;
        }
        return {};
    }
    const QXmlStreamAttributes attributes = m_reader->attributes();
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == localName)
            return a.value().toString();
    }
    return {};
}

QString XmlWalk::attribute(QStringView namespaceUri, QStringView prefix,
                           QStringView localName) const {
    if (m_lenient) {
        for (const auto& [name, value] : m_lenient->attributes()) {
            if (name.size() == prefix.size() + 1 + localName.size() && name.startsWith(prefix) &&
                name.at(prefix.size()) == u':' && name.endsWith(localName))
                return value;
        }
        return {};
    }
    return m_reader->attributes().value(namespaceUri.toString(), localName.toString()).toString();
}

bool XmlWalk::hasAttribute(QStringView localName) const {
    if (m_lenient) {
        for (const auto& [name, value] : m_lenient->attributes()) {
            if (QStringView(name).sliced(name.lastIndexOf(u':') + 1) == localName)
                return true;
        }
        return false;
    }
    const QXmlStreamAttributes attributes = m_reader->attributes();
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == localName)
            return true;
    }
    return false;
}

bool XmlWalk::lostText() const {
    return m_lenient && m_lenient->lostText();
}

void XmlWalk::fail(BookError error) {
    if (!m_error.failed())
        m_error = std::move(error);
}
