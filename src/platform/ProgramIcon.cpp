#include "ProgramIcon.h"

namespace ProgramIcon {
QIcon icon()
{
    static const QIcon icon(QStringLiteral(":/potora/icon.png"));
    return icon;
}
} // namespace ProgramIcon
