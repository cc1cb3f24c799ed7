#pragma once

#include <QXmlStreamEntityResolver>

// Resolves the named character references of HTML that XHTML books use
// without declaring them (&nbsp;, &mdash;, &laquo; ...). A name it does not
// know stands for nothing, so that one odd reference costs one character,
// not the book.
class HtmlEntities final : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override;
};
