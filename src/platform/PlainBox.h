#pragma once

#include <QString>

class QWidget;

// The program's message box on every system: one OK button, no icon, the
// text as typed.
namespace PlainBox {

// Returns once the user has closed the box. `aboveAll`: above every other
// window and modal to the whole program, as a memo popping up is.
void show(QWidget *parent, const QString &title, const QString &text, bool aboveAll);

} // namespace PlainBox
