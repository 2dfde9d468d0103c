#include "Main.h"

#include "MainLayout.h"
#include "MemoPages.h"
#include "MemoRescue.h"
#include "MemoSlot.h"
#include "TimerMemoCheck.h"
#include "kit/Fonts.h"
#include "kit/Legible.h"
#include "kit/Look.h"
#include "kit/Navigation.h"
#include "kit/Screens.h"
#include "kit/Twips.h"
#include "kit/WrappingButton.h"
#include "platform/Platform.h"
#include "store/StoredGeometry.h"
#include "store/Texts.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

struct PageDesign {
    const char *caption;
    double left, top;
    QColor background;
    QColor text; // invalid: the system's
};

const PageDesign kPages[10] = {
    {"1", 4680, 0, QColor(192, 255, 255), {}},
    {"2 ", 5160, 0, QColor(192, 192, 255), {}},
    {"3", 5640, 0, QColor(192, 255, 192), {}},
    {"4", 6120, 0, QColor(255, 255, 192), {}},
    {"5", 6600, 0, QColor(255, 192, 255), {}},
    {"6", 4680, 480, QColor(255, 255, 255), {}},
    {"7", 5160, 480, QColor(255, 192, 192), {}},
    {"8", 5640, 480, QColor(255, 224, 192), {}},
    {"9", 6120, 480, QColor(224, 224, 224), {}},
    {"10", 6600, 480, QColor(0, 0, 0), QColor(255, 255, 255)},
};

QPlainTextEdit *memoBox(QWidget *parent, const QFont &font)
{
    auto *box = new QPlainTextEdit(parent);
    box->setFont(font);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    return box;
}

// Window and page buttons do not take the focus from the memo typed in.
QPushButton *button(QWidget *parent, const QString &caption, double l, double t, double w, double h,
                    const QString &tip = QString())
{
    QPushButton *b = Twips::button(parent, caption, l, t, w, h);
    b->setFocusPolicy(Qt::TabFocus);
    b->setToolTip(tip);
    return b;
}

QLabel *label(QWidget *parent, const QString &caption, double l, double t, double w, double h)
{
    auto *l_ = new QLabel(caption, parent);
    Twips::place(l_, l, t, w, h);
    return l_;
}

} // namespace

Main::Main(Values &values, Platform &platform, Navigation &navigation)
    : m_values(values)
    , m_platform(platform)
    , m_navigation(navigation)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setDesign(Look::kProgramName, Look::kWindowColour);
    resize(Twips::toPixels(7320), Twips::toPixels(9285));

    createControls();

    connect(&m_platform, &Platform::trayLeftPressed, this, &Main::Main_Picture1_MouseDown);
}

Main::~Main() = default;

QPlainTextEdit *Main::makeMemoBox(int slot)
{
    using Handler = void (Main::*)();
    static const Handler changes[ValueFiles::kExtraMemo] = {
        &Main::Main_Text1_Change, &Main::Main_Text2_Change, &Main::Main_Text3_Change, &Main::Main_Text4_Change,
        &Main::Main_Text5_Change, &Main::Main_Text6_Change, &Main::Main_Text7_Change, &Main::Main_Text8_Change,
        &Main::Main_Text9_Change, &Main::Main_Text10_Change, &Main::Main_Text11_Change};
    const bool extra = slot == ValueFiles::kExtraMemo;
    QPlainTextEdit *box = memoBox(this, Fonts::msPGothic(extra ? 11.25 : 9.75));
    connect(box, &QPlainTextEdit::textChanged, this, changes[slot - 1]);
    box->setAccessibleName(extra ? Texts::extraMemoName() : Texts::pageBoxName(slot));
    box->setAccessibleDescription(Texts::memoBoxDescription());
    placeMemoBox(slot, box);
    if (extra)
        return box;
    const PageDesign &design = kPages[slot - 1];
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, design.background);
    if (design.text.isValid())
        pal.setColor(QPalette::Text, design.text);
    box->setPalette(pal);
    // The desktop's text colour, where it can be read on the page.
    if (!design.text.isValid())
        Legible::keep(box, QPalette::Text, QPalette::Text, design.background);
    // Box 1 is shown from the start and lies beneath whichever page is chosen.
    box->setVisible(slot == 1);
    m_pages->stackBuilt(slot, box, extraMemo()->builtBox());
    return box;
}

void Main::createControls()
{
    // A page's box is built when it is first shown or asked for, box 1 and
    // the stored page's for the first frame: building the nine others took
    // 2 ms of every start.
    QList<MemoSlot *> pageSlots;
    for (int slot = 1; slot <= ValueFiles::kExtraMemo; ++slot) {
        m_slots[slot - 1] = new MemoSlot(slot, [this, slot] { return makeMemoBox(slot); }, m_values, this);
        if (slot <= ValueFiles::kPageCount)
            pageSlots << m_slots[slot - 1];
    }
    m_rescue = std::make_unique<MemoRescue>(QList<MemoSlot *>(m_slots.begin(), m_slots.end()), m_values, m_platform);

    using Handler = void (Main::*)();
    const Handler pageClicks[10] = {&Main::Main_Command2_Click, &Main::Main_Command6_Click,
                                    &Main::Main_Command7_Click, &Main::Main_Command8_Click,
                                    &Main::Main_Command9_Click, &Main::Main_Command11_Click,
                                    &Main::Main_Command12_Click, &Main::Main_Command13_Click,
                                    &Main::Main_Command14_Click, &Main::Main_Command15_Click};
    QList<QPushButton *> buttons;
    for (int page = 1; page <= 10; ++page) {
        const PageDesign &d = kPages[page - 1];
        QPushButton *b = button(this, QString::fromUtf8(d.caption), d.left, d.top, 375, 375);
        b->setAccessibleName(Texts::pageButtonName(page));
        connect(b, &QPushButton::clicked, this, pageClicks[page - 1]);
        m_pageButtons[page - 1] = b;
        buttons << b;
    }
    m_pages = new MemoPages(pageSlots, buttons, m_values, this);
    m_slots[0]->box();
    extraMemo()->box();
    // CommandX serves whichever page is shown, and its name says which.
    connect(m_pages, &MemoPages::pageShown, this,
            [this](int page) { CommandX->setAccessibleName(Texts::pageCancelName(page)); });

    Command1 = button(this, QStringLiteral("位置・サイズ変更"), 3000, 0, 1575, 375,
                      QStringLiteral("メモのサイズや位置を変更できます"));
    Command1->setFont(Fonts::msPGothic(9.75));
    Command10 = button(this, QStringLiteral("オプション"), 1560, 0, 1215, 375);
    Command3 = button(this, QStringLiteral("タイマーメモ"), 1560, 480, 1215, 375,
                      QStringLiteral("指定した時刻にメモを出現させることが出来ます"));
    Command5 = button(this, QStringLiteral("起動時メモ"), 3000, 480, 1575, 375,
                      QStringLiteral("パソコンの起動時にメモを表示します"));
    CommandX = button(this, QStringLiteral("キャンセル"), 0, 480, 1335, 375,
                      QStringLiteral("メモの編集を一回だけキャンセルできます"));
    CommandX->setFont(Fonts::msPGothic(12, true, true));
    Command4 = new WrappingButton(QStringLiteral("キャンセル"), this);
    Command4->setFocusPolicy(Qt::TabFocus);
    Command4->setToolTip(QStringLiteral("アクティブメモの編集を一回だけキャンセルできます"));
    Command4->setAccessibleName(Texts::extraCancelName());
    Twips::place(Command4, 0, 840, 375, 1215);
    connect(Command1, &QPushButton::clicked, this, &Main::Main_Command1_Click);
    connect(Command10, &QPushButton::clicked, this, &Main::Main_Command10_Click);
    connect(Command3, &QPushButton::clicked, this, &Main::Main_Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Main::Main_Command5_Click);
    connect(CommandX, &QPushButton::clicked, this, &Main::Main_CommandX_Click);
    connect(Command4, &QPushButton::clicked, this, &Main::Main_Command4_Click);

    Label6 = label(this, QStringLiteral("時刻"), 120, 120, 495, 255);
    Label6->setFont(Fonts::msPGothic(12));
    Label5 = label(this, QString(), 720, 120, 615, 255);
    Label5->setFont(Fonts::msPGothic(12));
    // Due times of the three timer memos; never shown.
    Label7 = label(this, QStringLiteral("Label7"), 1440, 0, 975, 135);
    Label8 = label(this, QStringLiteral("Label8"), 1440, 120, 975, 135);
    Label9 = label(this, QStringLiteral("Label9"), 1440, 240, 975, 135);
    for (QLabel *hidden : {Label7, Label8, Label9})
        hidden->hide();

    // Neither timer runs before the start-up step gives it its interval.
    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    // Timer1 is armed anew for the start of each next minute.
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    m_check = new TimerMemoCheck(m_platform, m_values, Label5, {Label7, Label8, Label9}, this);
    connect(Timer1, &QTimer::timeout, this, &Main::Main_Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Main::Main_Timer2_Timer);
}

QPlainTextEdit *Main::text(int slot) const { return m_slots.at(slot - 1)->box(); }
QPushButton *Main::pageButton(int page) const { return m_pageButtons.at(page - 1); }
MemoSlot *Main::memoSlot(int slot) const { return m_slots.at(slot - 1); }

QString Main::clockText() const
{
    return TimerMemoCheck::clockText(m_platform.now());
}

void Main::placeWindow()
{
    const QRectF twips = StoredGeometry::read(m_values);
    // Borderless: the outer geometry is the client geometry.
    setGeometry(Screens::reachable(Twips::toPixels(twips.left(), twips.top(), twips.width(), twips.height())));
}

void Main::Main_Form_Load()
{
    placeWindow();
    Main_Form_Resize();
    m_platform.trayAdd(windowIcon(), Look::kProgramName);
    m_pages->showStored();
    extraMemo()->loadFromFile();
    if (!m_navigation.isVisible(WindowId::AOpen))
        m_navigation.show(WindowId::AOpen);
    // The run may have ended while the start-up memo was up.
    if (isUnloaded())
        return;
    Label5->setText(clockText());
    Timer2->start(10000);
    Timer1->start(m_check->msecsToNextTick());
}

void Main::Main_Form_Resize()
{
    for (int slot = 1; slot <= ValueFiles::kExtraMemo; ++slot) {
        if (QPlainTextEdit *box = m_slots[slot - 1]->builtBox())
            placeMemoBox(slot, box);
    }
}

void Main::placeMemoBox(int slot, QWidget *box) const
{
    const QSizeF client(Twips::fromPixels(width()), Twips::fromPixels(height()));
    const QRectF r = slot == ValueFiles::kExtraMemo ? MainLayout::extraMemo(client) : MainLayout::pageBox(client);
    Twips::place(box, r.x(), r.y(), r.width(), r.height());
}

void Main::resizeEvent(QResizeEvent *event)
{
    GuardedForm::resizeEvent(event);
    Main_Form_Resize();
}

void Main::Main_Text1_Change() { m_slots[0]->changed(); }
void Main::Main_Text2_Change() { m_slots[1]->changed(); }
void Main::Main_Text3_Change() { m_slots[2]->changed(); }
void Main::Main_Text4_Change() { m_slots[3]->changed(); }
void Main::Main_Text5_Change() { m_slots[4]->changed(); }
void Main::Main_Text6_Change() { m_slots[5]->changed(); }
void Main::Main_Text7_Change() { m_slots[6]->changed(); }
void Main::Main_Text8_Change() { m_slots[7]->changed(); }
void Main::Main_Text9_Change() { m_slots[8]->changed(); }
void Main::Main_Text10_Change() { m_slots[9]->changed(); }
void Main::Main_Text11_Change() { extraMemo()->changed(); }

void Main::Main_Command2_Click() { m_pages->select(1); }
void Main::Main_Command6_Click() { m_pages->select(2); }
void Main::Main_Command7_Click() { m_pages->select(3); }
void Main::Main_Command8_Click() { m_pages->select(4); }
void Main::Main_Command9_Click() { m_pages->select(5); }
void Main::Main_Command11_Click() { m_pages->select(6); }
void Main::Main_Command12_Click() { m_pages->select(7); }
void Main::Main_Command13_Click() { m_pages->select(8); }
void Main::Main_Command14_Click() { m_pages->select(9); }
void Main::Main_Command15_Click() { m_pages->select(10); }

void Main::Main_Command1_Click()
{
    m_platform.trayDelete();
    m_navigation.show(WindowId::Mainmove);
    m_navigation.unload(WindowId::Main);
}

void Main::Main_Command10_Click() { m_navigation.show(WindowId::Option1); }
void Main::Main_Command3_Click() { m_navigation.show(WindowId::Timermemo); }
void Main::Main_Command5_Click() { m_navigation.show(WindowId::OpenTimer); }

void Main::Main_CommandX_Click()
{
    const int page = m_pages->storedPage();
    if (page != 0)
        m_slots[page - 1]->cancel();
}

void Main::Main_Command4_Click() { extraMemo()->cancel(); }

void Main::Main_Timer1_Timer()
{
    // The check may wait on memo boxes, during which Main can go away.
    QPointer<Main> self(this);
    if (!m_check->run() || !self)
        return;
    Main_Form_Load();
}

void Main::Main_Timer2_Timer()
{
    m_navigation.load(WindowId::Timermemo);
    m_navigation.load(WindowId::OpenTimer);
}

void Main::Main_Picture1_MouseDown()
{
    formShow();
}

void Main::Main_Form_QueryUnload(bool &cancel, CloseOrigin origin)
{
    // The run ends only through the options window's exit or the end of
    // the session, never through Main's own close key.
    GuardedForm::queryUnload(cancel, origin);
}

void Main::Main_Form_Unload()
{
    m_check->stop();
    Timer1->stop();
    Timer2->stop();
    m_platform.trayDelete();
    // The boxes go with Main; quitting or logging off goes on whatever happens.
    m_rescue->rescue(sessionEnding());
}

void Main::saveUnsavedAgain()
{
    m_rescue->saveAgain();
}
