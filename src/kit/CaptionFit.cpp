#include "CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace CaptionFit {
namespace {

// Below this the caption would be no easier to read than a cut one.
constexpr double kSmallestPoints = 5.0;
constexpr double kStepPoints = 0.25;

double margin(const QWidget *widget)
{
    return kMargin * widget->logicalDpiX() / 96.0;
}

// A button's text as it shows: "&&" is an ampersand, a single "&" marks
// the shortcut's letter.
QString shown(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size())
            ++i;
        out += text.at(i);
    }
    return out;
}

// The ink of a caption centred in `width`, clear of both edges by `margin`.
bool centred(const QFontMetricsF &metrics, const QString &text, double width, double margin)
{
    const QRectF ink = metrics.tightBoundingRect(text);
    const double origin = (width - metrics.horizontalAdvance(text)) / 2;
    return origin + ink.left() >= margin && origin + ink.right() <= width - margin;
}

// A label or a check box's text has no edge drawn around it: it fits where
// none of its ink falls beyond the end of its box.
bool within(const QFontMetricsF &metrics, const QString &text, int room)
{
    return metrics.tightBoundingRect(text).right() <= room;
}

class Keeper : public QObject
{
public:
    explicit Keeper(QWidget *widget)
        : QObject(widget)
        , m_design(widget->font())
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::FontChange && !m_fitting)
            m_design = widget->font();
        // Measured as it is drawn: text, size and font are then what shows.
        else if (event->type() == QEvent::Paint)
            fit(widget);
        return false;
    }

private:
    void fit(QWidget *widget)
    {
        QFont font = m_design;
        while (!fits(widget, font) && font.pointSizeF() - kStepPoints >= kSmallestPoints)
            font.setPointSizeF(font.pointSizeF() - kStepPoints);
        if (font == widget->font())
            return;
        m_fitting = true;
        widget->setFont(font);
        m_fitting = false;
    }

    QFont m_design;
    bool m_fitting = false;
};

} // namespace

bool fits(const QWidget *widget, const QFont &font)
{
    const QFontMetricsF metrics(font, const_cast<QWidget *>(widget));
    if (const auto *measured = dynamic_cast<const Measured *>(widget))
        return measured->captionFits(font, margin(widget));
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return within(metrics, label->text(), label->contentsRect().width());
    if (const auto *box = qobject_cast<const QCheckBox *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        return within(metrics, shown(box->text()), room.width());
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return centred(metrics, shown(button->text()), button->width(), margin(widget));
    return true;
}

void keep(QWidget *widget)
{
    new Keeper(widget);
}

} // namespace CaptionFit
