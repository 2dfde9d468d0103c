#include "WrappingButton.h"

#include <QFontMetricsF>
#include <QStyleOptionButton>
#include <QStylePainter>

bool WrappingButton::captionFits(const QFont &font, double margin) const
{
    // The rows are packed to the height; each must fit the width.
    const QFontMetricsF metrics(font, this);
    for (const QChar c : text()) {
        if (metrics.horizontalAdvance(c) > width() - 2 * margin)
            return false;
    }
    return true;
}

void WrappingButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    // Packed closer than the font's line spacing where the button is too
    // short for that.
    const QString caption = text();
    const QFontMetrics metrics = fontMetrics();
    const int rows = int(caption.size());
    const int step = rows ? std::min(metrics.lineSpacing(), height() / rows) : 0;
    int y = (height() - step * rows) / 2;
    for (const QChar c : caption) {
        painter.drawText(QRect(0, y, width(), step), Qt::AlignCenter, QString(c));
        y += step;
    }
}
