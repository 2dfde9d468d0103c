#include "TimerMemoEditor.h"

#include "kit/Fonts.h"
#include "kit/Navigation.h"
#include "kit/TightLabel.h"
#include "kit/Twips.h"
#include "kit/UpDown.h"
#include "store/StoredText.h"
#include "store/Texts.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

using Design = TimerMemoEditor::Design;

const Design kTimermemo1 = {
    1, "タイマーメモ(メモ1)", 7560, 3105,
    {"Label1", {2880, 0, 1215, 255}, 12},
    {"Text1", {0, 240, 7575, 1215}, 0},
    {"Label2", {2880, 1680, 1455, 255}, 12},
    {"Label3", {0, 2040, 7575, 495}, 12},
    {"Text2", {480, 2640, 615, 375}, 0},
    {"UpDown1", {1080, 2640, 240, 375}, 0},
    {"Label5", {1320, 2640, 255, 255}, 0},
    {"Text3", {1680, 2640, 615, 375}, 0},
    {"UpDown2", {2280, 2640, 240, 375}, 0},
    {"Label6", {2520, 2640, 255, 255}, 0},
    {"Command2", {4320, 2640, 1215, 375}, 0},
    {"Command1", {5760, 2640, 1335, 375}, 0},
};

const Design kTimermemo2 = {
    2, "タイマーメモ(メモ2)", 7545, 3045,
    {"Label1", {3000, 0, 975, 255}, 12.75},
    {"Text1", {0, 240, 7575, 1215}, 0},
    {"Label2", {2760, 1560, 1575, 255}, 12},
    {"Label3", {0, 2040, 7455, 495}, 12},
    {"Text2", {480, 2520, 615, 375}, 0},
    {"UpDown1", {1080, 2520, 240, 375}, 0},
    {"Label4", {1320, 2520, 375, 375}, 12},
    {"Text3", {1560, 2520, 615, 375}, 0},
    {"UpDown2", {2160, 2520, 240, 375}, 0},
    {"Label5", {2400, 2520, 255, 255}, 12},
    {"Command1", {4560, 2640, 1095, 375}, 0},
    {"Command2", {6000, 2640, 1215, 375}, 0},
};

const Design kTimermemo3 = {
    3, "タイマーメモ（メモ3）", 7500, 3015,
    {"Label1", {3240, 0, 1095, 255}, 12},
    {"Text1", {120, 240, 7455, 1215}, 0},
    {"Label2", {2880, 1560, 1455, 255}, 12},
    {"Label3", {0, 1920, 7455, 495}, 12},
    {"Text2", {600, 2520, 615, 375}, 0},
    {"UpDown1", {1200, 2520, 240, 375}, 0},
    {"Label4", {1440, 2520, 255, 255}, 12},
    {"Text3", {1800, 2520, 615, 375}, 0},
    {"UpDown2", {2400, 2520, 240, 375}, 0},
    {"Label5", {2640, 2520, 255, 255}, 12},
    {"Command1", {4560, 2640, 1095, 375}, 0},
    {"Command2", {6000, 2640, 1095, 375}, 0},
};

template <typename W>
W *made(W *widget, const TimerMemoEditor::Labelled &design)
{
    widget->setObjectName(QString::fromUtf8(design.name));
    if (design.points > 0)
        widget->setFont(Fonts::msPGothic(design.points));
    const TimerMemoEditor::Place &p = design.place;
    Twips::place(widget, p.left, p.top, p.width, p.height);
    return widget;
}

QLabel *label(QWidget *parent, const QString &caption, const TimerMemoEditor::Labelled &design)
{
    auto *l = made(new QLabel(caption, parent), design);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLineEdit *timeBox(QWidget *parent, const TimerMemoEditor::Labelled &design)
{
    return made(new QLineEdit(parent), design);
}

} // namespace

QString TimerMemoEditor::notesText()
{
    return QStringLiteral("・時刻は24時間で入力してください(午後２時→１４時）") + QStringLiteral("\u3000  ")
        + QString(11, QChar(0x3000)) + QStringLiteral(" ")
        + QStringLiteral("・必ず半角数字で入力してください（例：「１２」ではなく「12」）");
}

TimerMemoEditor::TimerMemoEditor(Values &values, Navigation &navigation, const Design &d)
    : m_values(values)
    , m_navigation(navigation)
    , m_memo(d.memo)
{
    setDesign(QString::fromUtf8(d.caption));
    setFixedSize(Twips::toPixels(d.clientWidth), Twips::toPixels(d.clientHeight));

    Label1 = label(this, QStringLiteral("メモ内容"), d.heading);
    Text1 = made(new QPlainTextEdit(this), d.text);
    Text1->setTabChangesFocus(true);
    Label2 = label(this, QStringLiteral("表示時刻設定"), d.timeHeading);
    // Two lines of notes in a label two lines high: ideographs stand about
    // 0.88 em above their baseline.
    Label3 = made(new TightLabel(notesText(), 1.0, 0.88, this), d.notes);
    QPalette red = Label3->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label3->setPalette(red);

    Text2 = timeBox(this, d.hour);
    UpDown1 = made(new UpDown(this), d.hourSpinner);
    hourUnit = label(this, QStringLiteral("時"), d.hourUnit);
    Text3 = timeBox(this, d.minute);
    UpDown2 = made(new UpDown(this), d.minuteSpinner);
    minuteUnit = label(this, QStringLiteral("分"), d.minuteUnit);
    okButton = made(new QPushButton(QStringLiteral("OK"), this), d.ok);
    cancelButton = made(new QPushButton(QStringLiteral("キャンセル"), this), d.cancel);

    Text2->installEventFilter(this);
    Text3->installEventFilter(this);

    // Nothing on screen ties a box to its heading or unit, nor the red notes
    // to the time boxes, so the names and descriptions say it.
    Text1->setAccessibleName(Texts::timerTextName(m_memo));
    Text2->setAccessibleName(Texts::timerHourName(m_memo));
    Text3->setAccessibleName(Texts::timerMinuteName(m_memo));
    for (QLineEdit *box : {Text2, Text3})
        box->setAccessibleDescription(Texts::timeBoxDescription());
    UpDown1->upButton()->setAccessibleName(Texts::timerHourStepName(m_memo, true));
    UpDown1->downButton()->setAccessibleName(Texts::timerHourStepName(m_memo, false));
    UpDown2->upButton()->setAccessibleName(Texts::timerMinuteStepName(m_memo, true));
    UpDown2->downButton()->setAccessibleName(Texts::timerMinuteStepName(m_memo, false));

    // Tab order follows the eye: text, hour, minute, OK, cancel.
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, okButton);
    setTabOrder(okButton, cancelButton);
}

void TimerMemoEditor::load()
{
    Text1->setPlainText(StoredText::toBox(m_values.read(ValueFiles::timerText(m_memo))));
    Text2->setText(m_values.read(ValueFiles::timerHour(m_memo)));
    Text3->setText(m_values.read(ValueFiles::timerMinute(m_memo)));
    UpDown1->setBuddy(Text2);
    UpDown1->setRange(0, 24);
    UpDown2->setBuddy(Text3);
    UpDown2->setRange(0, 60);
}

void TimerMemoEditor::save()
{
    // All three are written, in this order, even after one has failed.
    bool saved = m_values.writeText(ValueFiles::timerText(m_memo), StoredText::toStored(Text1->toPlainText())).ok();
    saved = m_values.writeText(ValueFiles::timerHour(m_memo), Text2->text()).ok() && saved;
    saved = m_values.writeText(ValueFiles::timerMinute(m_memo), Text3->text()).ok() && saved;
    // What could not be saved stays on screen, beside the message about it.
    if (!saved)
        return;

    // Reloading the overview makes its button show the new text.
    m_navigation.unload(WindowId::Timermemo);
    m_navigation.show(WindowId::Timermemo);
    unloadForm();
}

void TimerMemoEditor::cancel()
{
    unloadForm();
}

bool TimerMemoEditor::eventFilter(QObject *watched, QEvent *event)
{
    // Typing "1" makes "01" at once; the digit typed next takes the place of
    // that zero, so that typing 1 and 5 gives "15", not "015".
    auto *box = qobject_cast<QLineEdit *>(watched);
    if ((box == Text2 || box == Text3) && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        const QString text = box->text();
        const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
        if (typed.size() == 1 && digit(typed.at(0)) && text.size() == 2 && text.at(0) == QLatin1Char('0')
            && digit(text.at(1)) && box->cursorPosition() == 2 && !box->hasSelectedText()) {
            box->setText(text.at(1) + typed);
            return true;
        }
    }
    return GuardedForm::eventFilter(watched, event);
}

void TimerMemoEditor::normalise(QLineEdit *box)
{
    const QString text = box->text();
    if (text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'))
        box->setText(QLatin1Char('0') + text);
}

Timermemo1::Timermemo1(Values &values, Navigation &navigation)
    : TimerMemoEditor(values, navigation, kTimermemo1)
    , Command1(cancelButton)
    , Command2(okButton)
    , Label5(hourUnit)
    , Label6(minuteUnit)
{
    setObjectName(QStringLiteral("Timermemo1"));
    connect(Command2, &QPushButton::clicked, this, &Timermemo1::Timermemo1_Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Timermemo1::Timermemo1_Command1_Click);
    connect(Text2, &QLineEdit::textChanged, this, &Timermemo1::Timermemo1_Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Timermemo1::Timermemo1_Text3_Change);
}

Timermemo2::Timermemo2(Values &values, Navigation &navigation)
    : TimerMemoEditor(values, navigation, kTimermemo2)
    , Command1(okButton)
    , Command2(cancelButton)
    , Label4(hourUnit)
    , Label5(minuteUnit)
{
    setObjectName(QStringLiteral("Timermemo2"));
    connect(Command1, &QPushButton::clicked, this, &Timermemo2::Timermemo2_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Timermemo2::Timermemo2_Command2_Click);
    connect(Text2, &QLineEdit::textChanged, this, &Timermemo2::Timermemo2_Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Timermemo2::Timermemo2_Text3_Change);
}

Timermemo3::Timermemo3(Values &values, Navigation &navigation)
    : TimerMemoEditor(values, navigation, kTimermemo3)
    , Command1(okButton)
    , Command2(cancelButton)
    , Label4(hourUnit)
    , Label5(minuteUnit)
{
    setObjectName(QStringLiteral("Timermemo3"));
    connect(Command1, &QPushButton::clicked, this, &Timermemo3::Timermemo3_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Timermemo3::Timermemo3_Command2_Click);
    connect(Text2, &QLineEdit::textChanged, this, &Timermemo3::Timermemo3_Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Timermemo3::Timermemo3_Text3_Change);
}
