#pragma once

#include <QIcon>

namespace ProgramIcon {
// The program's icon, carried by every window and shown in the tray.
QIcon icon();
} // namespace ProgramIcon
