#pragma once

#include "kit/Form.h"

class Navigation;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class UpDown;
class Values;

// The editor of one timer memo: its text, hour and minute, written on OK.
// The three editors differ only in caption, a few places and the names of
// some controls, which their design tables give.
class TimerMemoEditor : public GuardedForm
{
    Q_OBJECT
public:
    struct Place {
        double left, top, width, height;
    };
    struct Labelled {
        const char *name;
        Place place;
        double points; // 0: the window's font
    };
    struct Design {
        int memo;
        const char *caption;
        double clientWidth, clientHeight;
        Labelled heading, text, timeHeading, notes, hour, hourSpinner, hourUnit, minute, minuteSpinner, minuteUnit, ok,
            cancel;
    };

    // The two input notes with the spacing that puts the second on a line
    // of its own.
    static QString notesText();

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text2 = nullptr;
    UpDown *UpDown1 = nullptr;
    QLineEdit *Text3 = nullptr;
    UpDown *UpDown2 = nullptr;
    // "時" and "分", named Label5/Label6 or Label4/Label5 by the window.
    QLabel *hourUnit = nullptr;
    QLabel *minuteUnit = nullptr;
    // OK and cancel, named Command2/Command1 or Command1/Command2.
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

protected:
    TimerMemoEditor(Values &values, Navigation &navigation, const Design &design);

    bool eventFilter(QObject *watched, QEvent *event) override;

    void load();
    void save();
    void cancel();
    // "0" .. "9" become "00" .. "09"; anything else is left as typed.
    static void normalise(QLineEdit *box);

private:
    Values &m_values;
    Navigation &m_navigation;
    int m_memo;
};

class Timermemo1 : public TimerMemoEditor
{
    Q_OBJECT
public:
    Timermemo1(Values &values, Navigation &navigation);

    QPushButton *const Command1; // cancel
    QPushButton *const Command2; // OK
    QLabel *const Label5;        // 時
    QLabel *const Label6;        // 分

    void formLoad() override { Timermemo1_Form_Load(); }
    void Timermemo1_Form_Load() { load(); }
    void Timermemo1_Command2_Click() { save(); }
    void Timermemo1_Command1_Click() { cancel(); }
    void Timermemo1_Text2_Change() { normalise(Text2); }
    void Timermemo1_Text3_Change() { normalise(Text3); }
    void Timermemo1_Form_QueryUnload(bool &cancel, CloseOrigin origin) { GuardedForm::queryUnload(cancel, origin); }

protected:
    void queryUnload(bool &cancel, CloseOrigin origin) override { Timermemo1_Form_QueryUnload(cancel, origin); }
};

class Timermemo2 : public TimerMemoEditor
{
    Q_OBJECT
public:
    Timermemo2(Values &values, Navigation &navigation);

    QPushButton *const Command1; // OK
    QPushButton *const Command2; // cancel
    QLabel *const Label4;        // 時
    QLabel *const Label5;        // 分

    void formLoad() override { Timermemo2_Form_Load(); }
    void Timermemo2_Form_Load() { load(); }
    void Timermemo2_Command1_Click() { save(); }
    void Timermemo2_Command2_Click() { cancel(); }
    void Timermemo2_Text2_Change() { normalise(Text2); }
    void Timermemo2_Text3_Change() { normalise(Text3); }
    void Timermemo2_Form_QueryUnload(bool &cancel, CloseOrigin origin) { GuardedForm::queryUnload(cancel, origin); }

protected:
    void queryUnload(bool &cancel, CloseOrigin origin) override { Timermemo2_Form_QueryUnload(cancel, origin); }
};

class Timermemo3 : public TimerMemoEditor
{
    Q_OBJECT
public:
    Timermemo3(Values &values, Navigation &navigation);

    QPushButton *const Command1; // OK
    QPushButton *const Command2; // cancel
    QLabel *const Label4;        // 時
    QLabel *const Label5;        // 分

    void formLoad() override { Timermemo3_Form_Load(); }
    void Timermemo3_Form_Load() { load(); }
    void Timermemo3_Command1_Click() { save(); }
    void Timermemo3_Command2_Click() { cancel(); }
    void Timermemo3_Text2_Change() { normalise(Text2); }
    void Timermemo3_Text3_Change() { normalise(Text3); }
    void Timermemo3_Form_QueryUnload(bool &cancel, CloseOrigin origin) { GuardedForm::queryUnload(cancel, origin); }

protected:
    void queryUnload(bool &cancel, CloseOrigin origin) override { Timermemo3_Form_QueryUnload(cancel, origin); }
};
