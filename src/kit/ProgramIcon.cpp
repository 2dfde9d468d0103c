#include "ProgramIcon.h"

#include <QImageReader>
#include <QPixmap>

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
        // Naming the format keeps Qt from loading every image plugin to
        // probe the file (three plugins and libjpeg mapped at every start).
        QImageReader reader(QStringLiteral(":/potora/icon.png"), "png");
        reader.setAutoDetectImageFormat(false);
        return QIcon(QPixmap::fromImage(reader.read()));
    }();
    return icon;
}
} // namespace ProgramIcon
