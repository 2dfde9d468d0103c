#include "Timermemo.h"

#include "kit/Fonts.h"
#include "kit/Navigation.h"
#include "kit/Twips.h"
#include "store/Flag.h"
#include "store/Texts.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

void MemoButton::setMemo(const QString &memo)
{
    m_memo = memo;
    fit();
}

void MemoButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    fit();
}

void MemoButton::fit()
{
    // Line breaks become spaces; what does not fit ends in an ellipsis.
    QString line = m_memo;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\t'), QLatin1Char(' '));

    QStyleOptionButton option;
    initStyleOption(&option);
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    const int room = std::max(0, width() - 2 * (margin + frame));
    QString caption = fontMetrics().elidedText(line, Qt::ElideRight, room);
    // An ampersand is the memo's own, not a shortcut mark.
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    setText(caption);
}

Timermemo::Timermemo(Values &values, Navigation &navigation)
    : m_values(values)
    , m_navigation(navigation)
{
    setObjectName(QStringLiteral("Timermemo"));
    setDesign(QStringLiteral("タイマーメモ"), Qt::white);
    setFixedSize(Twips::toPixels(9585), Twips::toPixels(2760));

    Label1 = new QLabel(QStringLiteral("指定した時刻にメモを出現させることが出来ます"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Twips::place(Label1, 0, 0, 9495, 255);

    MemoButton **buttons[3] = {&Command1, &Command2, &Command3};
    FlagBox **boxes[3] = {&Check1, &Check2, &Check3};
    for (int i = 0; i < 3; ++i) {
        const double top = 360 + 600 * i;
        auto *b = new MemoButton(this);
        b->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        Twips::place(b, 120, top, 8775, 495);
        *buttons[i] = b;
        auto *c = new FlagBox(QStringLiteral("有効"), this);
        c->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        c->setAccessibleName(Texts::timerEnabledName(i + 1));
        Twips::place(c, 8880, top, 735, 495);
        *boxes[i] = c;
    }
    Command6 = new QPushButton(QStringLiteral("OK"), this);
    Command6->setObjectName(QStringLiteral("Command6"));
    Command6->setFont(Fonts::msPGothic(12));
    Twips::place(Command6, 4200, 2160, 1335, 495);

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command6);
    setTabOrder(Command6, Check1);
    setTabOrder(Check1, Check2);
    setTabOrder(Check2, Check3);

    connect(Command1, &QPushButton::clicked, this, &Timermemo::Timermemo_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Timermemo::Timermemo_Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Timermemo::Timermemo_Command3_Click);
    connect(Command6, &QPushButton::clicked, this, &Timermemo::Timermemo_Command6_Click);
}

void Timermemo::Timermemo_Form_Load()
{
    MemoButton *buttons[3] = {Command1, Command2, Command3};
    for (int n = 1; n <= 3; ++n) {
        const QString memo = m_values.read(ValueFiles::timerText(n));
        buttons[n - 1]->setMemo(memo);
        // An empty memo makes an empty caption; the name still says which.
        buttons[n - 1]->setAccessibleName(Texts::timerMemoButtonName(n, memo));
    }
    FlagBox *boxes[3] = {Check1, Check2, Check3};
    for (int n = 1; n <= 3; ++n)
        boxes[n - 1]->setCheckState(flagState(m_values.read(ValueFiles::timerEnabled(n))));
}

bool Timermemo::saveFlags()
{
    const FlagBox *boxes[3] = {Check1, Check2, Check3};
    bool saved = true;
    for (int n = 1; n <= 3; ++n) {
        switch (boxes[n - 1]->checkState()) {
        case Qt::Unchecked:
            saved = m_values.writeInteger(ValueFiles::timerEnabled(n), 0).ok() && saved;
            break;
        case Qt::Checked:
            saved = m_values.writeInteger(ValueFiles::timerEnabled(n), 1).ok() && saved;
            break;
        case Qt::PartiallyChecked:
            break;
        }
    }
    return saved;
}

void Timermemo::openEditor(int memo)
{
    saveFlags();
    static const WindowId editors[3] = {WindowId::Timermemo1, WindowId::Timermemo2, WindowId::Timermemo3};
    // The editor's OK unloads this window while we wait here, so nothing of
    // it may be touched once the editor is gone.
    m_navigation.showModal(editors[memo - 1]);
}

void Timermemo::Timermemo_Command1_Click() { openEditor(1); }
void Timermemo::Timermemo_Command2_Click() { openEditor(2); }
void Timermemo::Timermemo_Command3_Click() { openEditor(3); }

void Timermemo::Timermemo_Command6_Click()
{
    // A flag that could not be saved stays ticked as the user left it, beside
    // the message about it.
    if (saveFlags())
        unloadForm();
}
