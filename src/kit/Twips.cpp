#include "Twips.h"

#include <QPushButton>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <limits>

namespace Twips {
namespace {

constexpr double kTwipsPerInch = 1440.0;
// Far beyond any screen; keeps damaged stored values from overflowing.
constexpr double kLimitPixels = 1'000'000.0;

double dpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double value = screen ? screen->logicalDotsPerInchX() : 96.0;
    return value > 0 ? value : 96.0;
}

} // namespace

int toPixels(double twips)
{
    if (!std::isfinite(twips))
        return 0;
    const double pixels = std::round(twips * dpi() / kTwipsPerInch);
    return static_cast<int>(std::clamp(pixels, -kLimitPixels, kLimitPixels));
}

double fromPixels(int pixels)
{
    return pixels * kTwipsPerInch / dpi();
}

QRect toPixels(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void place(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(toPixels(left, top, width, height));
}

QPushButton *button(QWidget *parent, const QString &caption, double left, double top, double width, double height)
{
    auto *b = new QPushButton(caption, parent);
    place(b, left, top, width, height);
    return b;
}

} // namespace Twips
