#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// Where the program fixes a background but leaves the text on it to the
// desktop, a dark or high-contrast colour scheme makes that text light on a
// light page. Such a text keeps the desktop's colour where it can be read
// (WCAG 2, level AA) and turns black or white where it cannot.
namespace Legible {

constexpr double kLeast = 4.5;

// WCAG 2 contrast of two colours: 1 (the same) to 21 (black and white).
double contrast(const QColor &a, const QColor &b);
// `wanted` where it stands out from `against` by kLeast; otherwise black
// or white, whichever stands out more (one of them always reaches 4.58).
QColor on(const QColor &against, const QColor &wanted);

// Gives `widget` in `role` the rule's colour against `against`, taking
// `wanted` from the application's palette (the widget's own would hold what
// the rule gave it), now and whenever the desktop's palette changes.
void keep(QWidget *widget, QPalette::ColorRole role, QPalette::ColorRole wanted, const QColor &against);

} // namespace Legible
