#pragma once

#include "CaptionFit.h"

#include <QPushButton>

// A push button whose caption wraps within it, so that a narrow upright
// button shows its caption from top to bottom, one character a row.
class WrappingButton : public QPushButton, public CaptionFit::Measured
{
public:
    using QPushButton::QPushButton;

    bool captionFits(const QFont &font, double margin) const override;

protected:
    void paintEvent(QPaintEvent *) override;
};
