#pragma once

#include "kit/Form.h"
#include "store/ProgramPlaces.h"

class FlagBox;
class Navigation;
class Platform;
class QPushButton;
class Values;

// The options window: quitting the program, starting it at log-on, and the
// help page. It keeps nothing between openings; the check box comes from
// the startup flag each time.
class Option1 : public Form
{
    Q_OBJECT
public:
    // `places` names the help page, and the folder and icon for log-on.
    Option1(Values &values, Platform &platform, Navigation &navigation, ProgramPlaces places);

    void formLoad() override { Option1_Form_Load(); }

    void Option1_Form_Load();
    void Option1_Command1_Click();
    void Option1_Command2_Click();
    void Option1_Command3_Click();
    void Option1_Command4_Click();

    QPushButton *Command1 = nullptr;
    FlagBox *Check1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;

private:
    void registerStartup();
    void removeStartup();

    Values &m_values;
    Platform &m_platform;
    Navigation &m_navigation;
    ProgramPlaces m_places;
};
