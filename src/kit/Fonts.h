#pragma once

#include <QFont>

namespace Fonts {

// "ＭＳ Ｐゴシック" where installed, else the nearest Japanese gothic.
QFont msPGothic(double points, bool bold = false, bool italic = false);

} // namespace Fonts
