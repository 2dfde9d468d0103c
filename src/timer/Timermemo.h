#pragma once

#include "platform/Form.h"

#include <QCheckBox>
#include <QPushButton>

class QLabel;
class Windows;

// A check box whose third, greyed state only comes from outside: the user's
// click turns a greyed box on, and otherwise toggles between off and on.
class FlagBox : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};

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
    explicit Timermemo(Windows &windows);

    void formLoad() override { Timermemo_Form_Load(); }

    void Timermemo_Form_Load();
    void Timermemo_Command1_Click();
    void Timermemo_Command2_Click();
    void Timermemo_Command3_Click();
    void Timermemo_Command6_Click();

    // The state a flag file's text gives its box: 0 off, 1 on, 2 greyed.
    static Qt::CheckState stateOf(const QString &flag);

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

    Windows &m_windows;
};
