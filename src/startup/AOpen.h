#pragma once

#include "kit/Form.h"

class Platform;
class Values;

// Shows the start-up memo when it is first loaded, then only stays loaded
// and "shown" for the rest of the run, so Main's start-up step, which asks
// for it every minute, never shows the memo twice. It never puts a window
// on the screen or in the taskbar: being shown is only a flag, which also
// keeps it from counting as an open window when the last real one closes.
class AOpen : public Form
{
    Q_OBJECT
public:
    AOpen(Values &values, Platform &platform);

    void formLoad() override { AOpen_Form_Load(); }
    void formShow() override { m_shown = true; }
    bool formVisible() const override { return m_shown; }

    void AOpen_Form_Load();

private:
    Values &m_values;
    Platform &m_platform;
    bool m_shown = false;
};
