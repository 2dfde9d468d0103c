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

void TightLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetricsF metrics(font());
    const qreal em = QFontInfo(font()).pixelSize();
    const qreal step = std::min(metrics.lineSpacing(), em * m_lineEm);
    const qreal firstBaseline = std::min(metrics.ascent(), em * m_firstBaselineEm);
    QTextLayout layout(text(), font(), this);
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal baseline = firstBaseline;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, baseline - line.ascent()));
        baseline += step;
    }
    layout.endLayout();
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}
