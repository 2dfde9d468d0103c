#pragma once

#include <QPushButton>

// A push button whose caption wraps within it, so that a narrow upright
// button shows its caption from top to bottom, one character a row.
class WrappingButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override;
};
