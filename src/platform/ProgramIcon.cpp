#include "ProgramIcon.h"

// The icon lives in a static library's resources, which the linker drops
// unless something names their initialiser (declared at global scope).
static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace ProgramIcon {
QIcon icon()
{
    static const QIcon icon = [] {
        initProgramResources();
        return QIcon(QStringLiteral(":/potora/icon.png"));
    }();
    return icon;
}
} // namespace ProgramIcon
