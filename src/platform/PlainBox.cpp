#include "PlainBox.h"

#include <QMessageBox>

namespace PlainBox {

void show(QWidget *parent, const QString &title, const QString &text, bool aboveAll)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    // Shown as typed: left to guess, Qt takes a memo with "<b>" in it for
    // markup and a file name with "<" in it loses its text.
    box.setTextFormat(Qt::PlainText);
    // The text can be selected and copied, a memo's text above all.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Orca reads an alert's name when it comes up, and the text in it only
    // when that has three words or more, which Japanese without spaces never
    // has: named for its text, a box is read out as it pops up.
    box.setAccessibleName(text);
    if (aboveAll) {
        box.setWindowModality(Qt::ApplicationModal);
        // After the modality, which makes the box a plain dialog again.
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    box.exec();
}

} // namespace PlainBox
