#include "ui/text_box.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace {

bool holdsLocalFile(const QMimeData* source) {
    const QList<QUrl> urls = source ? source->urls() : QList<QUrl>();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

} // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
}

void TextBox::putText(const QString& text,
                      const std::function<void(qsizetype, qsizetype)>& progress) {
    constexpr qsizetype slice = 65536;
    QTextDocument* doc = document();
    clear();
    doc->setUndoRedoEnabled(false);
    QTextCursor end(doc);
    const qsizetype n = text.size();
    for (qsizetype from = 0; from < n;) {
        qsizetype to = qMin(n, from + slice);
        // A slice never ends between CR and LF, which make one line break,
        // nor inside a surrogate pair.
        if (to < n && (text[to - 1] == QLatin1Char('\r') || text[to - 1].isHighSurrogate()))
            ++to;
        end.movePosition(QTextCursor::End);
        end.insertText(QStringView(text).mid(from, to - from).toString());
        from = to;
        if (progress)
            progress(from, n);
    }
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    m_pressed = event->button() == Qt::LeftButton;
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (m_pressed && event->button() == Qt::LeftButton) {
        m_pressed = false;
        Q_EMIT clicked();
    }
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return !holdsLocalFile(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (!holdsLocalFile(source))
        QPlainTextEdit::insertFromMimeData(source);
}
