#pragma once

#include "CaptionFit.h"

#include <QLabel>

class QTextLayout;

// A wrapping label whose lines stand closer than the font's own line
// spacing: the CJK fonts that stand in for the designed one bring so much
// leading that a second line would fall out of the label's designed place.
class TightLabel : public QLabel, public CaptionFit::Measured
{
public:
    // Lines `lineEm` em apart at most, the first baseline `firstBaselineEm`
    // em from the top at most.
    TightLabel(const QString &text, double lineEm, double firstBaselineEm, QWidget *parent = nullptr);

    bool captionFits(const QFont &font, double margin) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Lays the text out in `font`; returns how far down its ink reaches.
    qreal layOut(QTextLayout &layout, const QFont &font) const;

    double m_lineEm;
    double m_firstBaselineEm;
};
