#pragma once

#include <QCheckBox>

// A check box for a flag file. Its third, greyed state only comes from the
// file: the user's click turns a greyed box on, and otherwise toggles
// between off and on.
class FlagBox : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};
