#pragma once

#include <QRect>

namespace Screens {

// A window that would lie on no screen goes to the primary screen's
// top-left corner at the same size, so it can always be reached.
QRect reachable(const QRect &pixels);

} // namespace Screens
