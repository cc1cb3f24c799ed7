#include "platform/message_boxes.h"

#include <QMessageBox>

MessageBoxes::Answer QtMessageBoxes::show(QWidget* owner, const QString& title, const QString& text,
                                          Buttons buttons) {
    QMessageBox box(owner);
    box.setWindowTitle(title);
    // A box owned by a window that stays on top would otherwise open behind it.
    if (owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(buttons == Buttons::OkCancel ? QMessageBox::Question : QMessageBox::NoIcon);
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}
