#include "Screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace Screens {
namespace {
// How much of the window must lie on some screen to count as reachable.
constexpr int kReachablePixels = 32;
} // namespace

QRect reachable(const QRect &pixels)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        const QRect common = screen->geometry().intersected(pixels);
        if (common.width() >= std::min(kReachablePixels, pixels.width())
            && common.height() >= std::min(kReachablePixels, pixels.height()))
            return pixels;
    }
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return pixels;
    return QRect(primary->availableGeometry().topLeft(), pixels.size());
}

} // namespace Screens
