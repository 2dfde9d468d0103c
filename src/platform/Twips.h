#pragma once

#include <QRect>

// Lengths in the program are twips (1/1440 inch): 15 twips per pixel at
// 96 dots per inch. Every conversion goes through these two functions.
namespace Twips {

// Logical dots per inch of the primary screen (96 where there is none).
double dpi();

int toPixels(double twips);
double fromPixels(int pixels);
QRect toPixels(double left, double top, double width, double height);

} // namespace Twips

class QWidget;

namespace Twips {
// Places a widget at left, top, width, height in twips in one operation.
void place(QWidget *widget, double left, double top, double width, double height);
} // namespace Twips
