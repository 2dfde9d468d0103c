#pragma once

#include "kit/Form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Values;

// The start-up memo editor: one text that the program shows when it starts.
class OpenTimer : public GuardedForm
{
    Q_OBJECT
public:
    explicit OpenTimer(Values &values);

    void formLoad() override { OpenTimer_Form_Load(); }

    void OpenTimer_Form_Load();
    void OpenTimer_Command1_Click();
    void OpenTimer_Command2_Click();

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    Values &m_values;
};
