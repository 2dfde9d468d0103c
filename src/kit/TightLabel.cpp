#include "TightLabel.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

TightLabel::TightLabel(const QString &text, double lineEm, double firstBaselineEm, QWidget *parent)
    : QLabel(text, parent)
    , m_lineEm(lineEm)
    , m_firstBaselineEm(firstBaselineEm)
{
}

qreal TightLabel::layOut(QTextLayout &layout, const QFont &font) const
{
    const QFontMetricsF metrics(font, this);
    const qreal em = QFontInfo(font).pixelSize();
    const qreal step = std::min(metrics.lineSpacing(), em * m_lineEm);
    const qreal firstBaseline = std::min(metrics.ascent(), em * m_firstBaselineEm);
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal baseline = firstBaseline;
    qreal bottom = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, baseline - line.ascent()));
        // Ink, not the font's descent: ideographs end just below the baseline.
        const QString shown = text().mid(line.textStart(), line.textLength());
        bottom = std::max(bottom, baseline + metrics.tightBoundingRect(shown).bottom());
        baseline += step;
    }
    layout.endLayout();
    return bottom;
}

bool TightLabel::captionFits(const QFont &font, double) const
{
    QTextLayout layout(text(), font, const_cast<TightLabel *>(this));
    return layOut(layout, font) <= height();
}

void TightLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QTextLayout layout(text(), font(), this);
    layOut(layout, font());
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}
