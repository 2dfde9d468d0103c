#pragma once

#include <QString>
#include <Qt>

// The state a flag file's text stands for: 1 on, 0 off, 2 greyed (only a
// hand-edited file says so). A missing or damaged flag is off.
Qt::CheckState flagState(const QString &text);
