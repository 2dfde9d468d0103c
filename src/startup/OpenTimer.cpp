#include "OpenTimer.h"

#include "kit/Fonts.h"
#include "kit/Twips.h"
#include "store/StoredText.h"
#include "store/Texts.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

OpenTimer::OpenTimer(Values &values)
    : m_values(values)
{
    setDesign(QStringLiteral("起動時メモ"));
    // Nothing in it moves with the window, so the window keeps its size.
    setFixedSize(Twips::toPixels(6690), Twips::toPixels(4155));

    Label1 = new QLabel(QStringLiteral("メモ内容"), this);
    Label1->setFont(Fonts::msPGothic(12));
    Twips::place(Label1, 2880, 0, 975, 255);

    Text1 = new QPlainTextEdit(this);
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName(Texts::startupTextName());
    Twips::place(Text1, 0, 360, 6615, 3255);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Twips::place(Command1, 3840, 3720, 1215, 375);
    Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Twips::place(Command2, 5280, 3720, 1215, 375);

    connect(Command1, &QPushButton::clicked, this, &OpenTimer::OpenTimer_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &OpenTimer::OpenTimer_Command2_Click);
}

void OpenTimer::OpenTimer_Form_Load()
{
    Text1->setPlainText(StoredText::toBox(m_values.read(ValueFiles::kStartupMemo)));
}

void OpenTimer::OpenTimer_Command1_Click()
{
    // A memo that could not be saved stays in the box; the user has been
    // told and can try again or cancel.
    if (!m_values.writeText(ValueFiles::kStartupMemo, StoredText::toStored(Text1->toPlainText())).ok())
        return;
    unloadForm();
}

void OpenTimer::OpenTimer_Command2_Click()
{
    unloadForm();
}
