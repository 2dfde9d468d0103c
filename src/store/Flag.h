#pragma once

#include <QString>
#include <Qt>

// The state a flag file's text stands for: exactly "1" is on, as the
// minute's check of a timer memo has it; "2" is greyed (only a hand-edited
// file says so); anything else, a missing or damaged flag too, is off.
Qt::CheckState flagState(const QString &text);
