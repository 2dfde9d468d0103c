#pragma once

#include "kit/FlagBox.h"
#include "kit/Form.h"

#include <QPushButton>

class Navigation;
class QLabel;
class Values;

// A push button showing a memo's text fitted on one line of its caption.
class MemoButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    void setMemo(const QString &memo);
    const QString &memo() const { return m_memo; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QString m_memo;
};

// The timer memo overview: one button per memo opening its editor, one
// enabled box per memo, and OK. Closing it by its own close button keeps
// nothing of what was changed in the boxes.
class Timermemo : public Form
{
    Q_OBJECT
public:
    Timermemo(Values &values, Navigation &navigation);

    void formLoad() override { Timermemo_Form_Load(); }

    void Timermemo_Form_Load();
    void Timermemo_Command1_Click();
    void Timermemo_Command2_Click();
    void Timermemo_Command3_Click();
    void Timermemo_Command6_Click();

    QLabel *Label1 = nullptr;
    MemoButton *Command1 = nullptr;
    MemoButton *Command2 = nullptr;
    MemoButton *Command3 = nullptr;
    FlagBox *Check1 = nullptr;
    FlagBox *Check2 = nullptr;
    FlagBox *Check3 = nullptr;
    QPushButton *Command6 = nullptr;

private:
    // Writes 0 or 1 for each box that is off or on; a greyed box's file is
    // left alone. False when a file could not be written.
    bool saveFlags();
    void openEditor(int memo);

    Values &m_values;
    Navigation &m_navigation;
};
