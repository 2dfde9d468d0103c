#pragma once

#include "platform/Form.h"

class QCheckBox;
class QPushButton;
class Windows;

// The options window: quitting the program, starting it at log-on, and the
// help page. It keeps nothing between openings; the check box comes from
// the startup flag each time.
class Option1 : public Form
{
    Q_OBJECT
public:
    explicit Option1(Windows &windows);

    void formLoad() override { Option1_Form_Load(); }

    void Option1_Form_Load();
    void Option1_Command1_Click();
    void Option1_Command2_Click();
    void Option1_Command3_Click();
    void Option1_Command4_Click();

    QPushButton *Command1 = nullptr;
    QCheckBox *Check1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;

private:
    void registerStartup();
    void removeStartup();

    Windows &m_windows;
};
