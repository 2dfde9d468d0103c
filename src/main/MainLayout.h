#pragma once

#include <QRectF>
#include <QSizeF>

// Where Main's memo boxes go for a client area, in twips: the page boxes
// fill everything below a band of 2100 twips, the extra memo keeps its
// height with margins of 360 left and 90 right. Sizes never go negative.
namespace MainLayout {

QRectF pageBox(QSizeF client);
QRectF extraMemo(QSizeF client);

} // namespace MainLayout
