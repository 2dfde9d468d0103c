#pragma once

class QFont;
class QWidget;

// The program's buttons and labels have fixed boxes, sized for ＭＳ Ｐゴシック,
// whose kana are narrow. A wider font standing in for it would cut a caption
// or press it against the button's edges, so a caption that does not fit
// its box is drawn smaller until it does; one that fits keeps its design.
namespace CaptionFit {

// A widget whose caption the kit cannot measure alone says whether it fits.
class Measured
{
public:
    virtual ~Measured() = default;
    virtual bool captionFits(const QFont &font, double margin) const = 0;
};

// How far a button's caption stays from its edges, in pixels at 96 dpi.
constexpr double kMargin = 3.0;

// Keeps the caption of `widget` (a button or a label) whole from now on,
// whatever text, size or font it is given.
void keep(QWidget *widget);
// Whether the caption of `widget` fits it in `font`.
bool fits(const QWidget *widget, const QFont &font);

} // namespace CaptionFit
