#pragma once

#include <QRect>

class QPushButton;
class QString;
class QWidget;

// Lengths in the program are twips (1/1440 inch): 15 twips per pixel at
// 96 dots per inch, by the primary screen's logical dots per inch (96 where
// there is none). Every conversion goes through here.
namespace Twips {

int toPixels(double twips);
double fromPixels(int pixels);
QRect toPixels(double left, double top, double width, double height);
// Places a widget at left, top, width, height in twips in one operation.
void place(QWidget *widget, double left, double top, double width, double height);
// A push button with its caption, placed so.
QPushButton *button(QWidget *parent, const QString &caption, double left, double top, double width, double height);

} // namespace Twips
