#pragma once

#include "kit/Form.h"
#include "store/ValueFiles.h"

#include <array>
#include <memory>

class MemoPages;
class MemoRescue;
class MemoSlot;
class Navigation;
class Platform;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TimerMemoCheck;
class Values;

// The main memo window: borderless at its stored place, ten memo pages
// chosen by ten page buttons, the extra memo, the clock, the two cancels
// and the buttons that open the program's other windows.
class Main : public GuardedForm
{
    Q_OBJECT
public:
    Main(Values &values, Platform &platform, Navigation &navigation);
    ~Main() override;

    void formLoad() override { Main_Form_Load(); }
    void commitData() override { saveUnsavedAgain(); }

    // The start-up step; also run again by every minute's check.
    void Main_Form_Load();
    void Main_Form_Resize();

    void Main_Text1_Change();
    void Main_Text2_Change();
    void Main_Text3_Change();
    void Main_Text4_Change();
    void Main_Text5_Change();
    void Main_Text6_Change();
    void Main_Text7_Change();
    void Main_Text8_Change();
    void Main_Text9_Change();
    void Main_Text10_Change();
    void Main_Text11_Change();

    // Page buttons, pages 1 to 10.
    void Main_Command2_Click();
    void Main_Command6_Click();
    void Main_Command7_Click();
    void Main_Command8_Click();
    void Main_Command9_Click();
    void Main_Command11_Click();
    void Main_Command12_Click();
    void Main_Command13_Click();
    void Main_Command14_Click();
    void Main_Command15_Click();

    // Window buttons.
    void Main_Command1_Click();
    void Main_Command10_Click();
    void Main_Command3_Click();
    void Main_Command5_Click();

    // One-step cancels of the shown page and of the extra memo.
    void Main_CommandX_Click();
    void Main_Command4_Click();

    void Main_Timer1_Timer();
    void Main_Timer2_Timer();

    // A left press on the tray icon; the platform drops every other event.
    void Main_Picture1_MouseDown();
    void Main_Form_QueryUnload(bool &cancel, CloseOrigin origin);
    void Main_Form_Unload();

    // Each memo whose last change could not be saved is tried once more.
    void saveUnsavedAgain();

    // Slot 1..10 are the pages, 11 the extra memo; built if need be.
    QPlainTextEdit *text(int slot) const;
    // The page buttons of pages 1..10.
    QPushButton *pageButton(int page) const;
    MemoSlot *memoSlot(int slot) const;

    QPushButton *Command1 = nullptr;
    QPushButton *Command10 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *CommandX = nullptr;
    QPushButton *Command4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;

protected:
    void queryUnload(bool &cancel, CloseOrigin origin) override { Main_Form_QueryUnload(cancel, origin); }
    void formUnload() override { Main_Form_Unload(); }
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    QPlainTextEdit *makeMemoBox(int slot);
    void placeMemoBox(int slot, QWidget *box) const;
    void placeWindow();
    QString clockText() const;
    MemoSlot *extraMemo() const { return m_slots[ValueFiles::kExtraMemo - 1]; }

    Values &m_values;
    Platform &m_platform;
    Navigation &m_navigation;
    std::array<MemoSlot *, ValueFiles::kExtraMemo> m_slots{};
    std::array<QPushButton *, 10> m_pageButtons{};
    MemoPages *m_pages = nullptr;
    std::unique_ptr<MemoRescue> m_rescue;
    TimerMemoCheck *m_check = nullptr;
};
