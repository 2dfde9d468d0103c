#pragma once

#include "Result.h"

#include <QRectF>
#include <QString>

class Values;

// Main's saved outer geometry in twips: four text value files holding
// decimal numbers, read in the order left, height, width, top.
namespace StoredGeometry {

// A file that holds no number counts as its first value.
QRectF read(Values &values);

// The decimal text a number is stored as: 1200, -60, 1200.5.
QString format(float twips);
// A stored text as a number; fails where it is none.
Result<double> parse(const QString &text);

} // namespace StoredGeometry
