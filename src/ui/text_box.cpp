#include "ui/text_box.h"

#include <QCoreApplication>
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
    takePendingGeometry();
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

void TextBox::takePendingGeometry() {
    if (isVisible())
        return;
    ensurePolished();
    // As showing does it: the box first, then its children.
    std::function<void(QWidget*)> deliver = [&deliver](QWidget* w) {
        if (w->testAttribute(Qt::WA_PendingMoveEvent)) {
            QMoveEvent move(w->pos(), w->pos());
            QCoreApplication::sendEvent(w, &move);
            w->setAttribute(Qt::WA_PendingMoveEvent, false);
        }
        if (w->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent resize(w->size(), QSize());
            QCoreApplication::sendEvent(w, &resize);
            w->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
        for (QObject* child : w->children()) {
            if (auto* widget = qobject_cast<QWidget*>(child))
                deliver(widget);
        }
    };
    deliver(this);
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
