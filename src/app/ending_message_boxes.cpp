#include "app/ending_message_boxes.h"

MessageBoxes::Answer EndingMessageBoxes::show(QWidget* owner, const QString& title,
                                              const QString& text, Buttons buttons) {
    if (m_unattended) {
        const QByteArray line = (QStringLiteral("kestrix: ") + text + QLatin1Char('\n')).toUtf8();
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_output);
        std::fflush(m_output);
        return Answer::Cancel;
    }
    if (m_dialog && m_dialog->isVisible())
        owner = m_dialog;
    else if (m_dialog && owner && !(owner->isVisible() && owner->isEnabled()))
        owner = nullptr;
    return m_system.show(owner, title, text, buttons);
}
