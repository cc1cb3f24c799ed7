#pragma once

#include <QXmlStreamEntityResolver>

// The character a named reference of HTML or XML stands for (&nbsp;,
// &mdash;, &laquo;, &amp; ...); a null string for a name it does not know.
QString namedCharacter(QStringView name);

// The characters of the references in `text` (named, decimal, hexadecimal);
// an '&' that starts none stays as it is.
QString withReferencesResolved(QStringView text);

// Resolves the named character references of HTML that XHTML books use
// without declaring them. A name it does not know stands for itself, so that
// one odd reference costs the book nothing.
class HtmlEntities final : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override;
};
