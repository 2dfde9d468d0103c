#include "MainLayout.h"

#include <algorithm>

namespace MainLayout {
namespace {
constexpr double kBand = 2100;
constexpr double kExtraLeft = 360, kExtraTop = 840, kExtraHeight = 1215, kExtraMargins = 450;
} // namespace

QRectF pageBox(QSizeF client)
{
    return QRectF(0, kBand, std::max(0.0, client.width()), std::max(0.0, client.height() - kBand));
}

QRectF extraMemo(QSizeF client)
{
    return QRectF(kExtraLeft, kExtraTop, std::max(0.0, client.width() - kExtraMargins), kExtraHeight);
}

} // namespace MainLayout
