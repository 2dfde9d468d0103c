#include "Legible.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cmath>

namespace Legible {
namespace {

double luminance(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

// Lives with the widget; a palette change reaches a window as
// ApplicationPaletteChange and the widgets in it as PaletteChange.
class Keeper : public QObject
{
public:
    Keeper(QWidget *widget, QPalette::ColorRole role, QPalette::ColorRole wanted, const QColor &against)
        : QObject(widget)
        , m_role(role)
        , m_wanted(wanted)
        , m_against(against)
    {
        apply(widget);
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
            apply(static_cast<QWidget *>(watched));
        return false;
    }

private:
    void apply(QWidget *widget) const
    {
        const QPalette desktop = QApplication::palette(widget);
        QPalette pal = widget->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, m_role, on(m_against, desktop.color(group, m_wanted)));
        // Setting an equal palette again would only come back as a change.
        if (!(pal == widget->palette() && pal.isBrushSet(QPalette::Active, m_role)))
            widget->setPalette(pal);
    }

    QPalette::ColorRole m_role, m_wanted;
    QColor m_against;
};

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double one = luminance(a), other = luminance(b);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

QColor on(const QColor &against, const QColor &wanted)
{
    if (contrast(wanted, against) >= kLeast)
        return wanted;
    const QColor black(0, 0, 0), white(255, 255, 255);
    return contrast(black, against) >= contrast(white, against) ? black : white;
}

void keep(QWidget *widget, QPalette::ColorRole role, QPalette::ColorRole wanted, const QColor &against)
{
    new Keeper(widget, role, wanted, against);
}

} // namespace Legible
