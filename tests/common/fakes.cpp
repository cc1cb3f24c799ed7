#include "fakes.h"

MessageBoxes::Answer ScriptedMessageBoxes::show(QWidget* owner, const QString& title,
                                                const QString& text, Buttons buttons) {
    const Shown s{owner, title, text, buttons};
    shown.append(s);
    if (whileOpen)
        whileOpen(s);
    if (answers.isEmpty())
        return fallback;
    return answers.takeFirst();
}
