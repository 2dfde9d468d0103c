#include "Option1.h"

#include "app/Windows.h"
#include "platform/Fonts.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/Values.h"
#include "store/DataFolder.h"
#include "store/ValueFiles.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QUrl>

namespace {

QPushButton *button(QWidget *parent, const QString &caption, double l, double t, double w, double h)
{
    auto *b = new QPushButton(caption, parent);
    Twips::place(b, l, t, w, h);
    return b;
}

Qt::CheckState stateOfFlag(const QString &flag)
{
    bool ok = false;
    const int value = flag.trimmed().toInt(&ok);
    if (ok && value == 1)
        return Qt::Checked;
    if (ok && value == 2)
        return Qt::PartiallyChecked;
    // A missing or damaged flag shows as not registered.
    return Qt::Unchecked;
}

} // namespace

Option1::Option1(Windows &windows)
    : m_windows(windows)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setDesign(QStringLiteral("オプション"));
    setFixedSize(Twips::toPixels(4680), Twips::toPixels(2070));

    Command1 = button(this, QStringLiteral("ポトラの終了"), 120, 120, 4335, 375);
    Check1 = new QCheckBox(QStringLiteral("スタートアップに登録"), this);
    Twips::place(Check1, 120, 600, 4215, 375);
    Command2 = button(this, QStringLiteral("OK"), 1920, 1680, 1215, 375);
    Command3 = button(this, QStringLiteral("キャンセル"), 3240, 1680, 1215, 375);
    Command4 = button(this, QStringLiteral("ヘルプを見る"), 120, 1080, 1815, 375);
    setTabOrder(Command1, Check1);
    setTabOrder(Check1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);

    // The greyed state stands only for what the flag file held; once the
    // user clicks the box it is ticked or cleared.
    connect(Check1, &QCheckBox::stateChanged, this, [this](int state) {
        if (state != Qt::PartiallyChecked)
            Check1->setTristate(false);
    });

    connect(Command1, &QPushButton::clicked, this, &Option1::Option1_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Option1::Option1_Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Option1::Option1_Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Option1::Option1_Command4_Click);
}

void Option1::Option1_Form_Load()
{
    const Qt::CheckState state = stateOfFlag(m_windows.values().read(ValueFiles::kStartupFlag));
    Check1->setTristate(state == Qt::PartiallyChecked);
    Check1->setCheckState(state);
}

void Option1::Option1_Command1_Click()
{
    m_windows.quitAll();
}

void Option1::Option1_Command2_Click()
{
    switch (Check1->checkState()) {
    case Qt::Checked:
        registerStartup();
        break;
    case Qt::Unchecked:
        removeStartup();
        break;
    case Qt::PartiallyChecked:
        return;
    }
    unloadForm();
}

void Option1::registerStartup()
{
    // The flag goes first, so it keeps the user's choice even when the
    // registration fails.
    m_windows.values().writeInteger(ValueFiles::kStartupFlag, 1);
    Platform &platform = m_windows.platform();
    const Platform::Registered registered =
        platform.startupRegister(QCoreApplication::applicationFilePath(), m_windows.data().root());
    if (registered.ok())
        platform.message(this, QStringLiteral("スタートアップに登録しました"));
    else
        platform.message(this, QStringLiteral("スタートアップに登録できませんでした\n理由: %1").arg(registered.error));
}

void Option1::removeStartup()
{
    m_windows.values().writeInteger(ValueFiles::kStartupFlag, 0);
    Platform &platform = m_windows.platform();
    const Platform::Removed removed = platform.startupRemove();
    switch (removed.outcome) {
    case Platform::Removal::Removed:
        platform.message(this, QStringLiteral("スタートアップから削除しました"));
        break;
    case Platform::Removal::NotRegistered:
        platform.message(this, QStringLiteral("スタートアップにはもともと登録されていません"));
        break;
    case Platform::Removal::Failed:
        platform.message(this, QStringLiteral("スタートアップから削除できませんでした\n理由: %1").arg(removed.reason));
        break;
    }
}

void Option1::Option1_Command3_Click()
{
    unloadForm();
}

void Option1::Option1_Command4_Click()
{
    m_windows.platform().showHelp(QUrl::fromLocalFile(m_windows.data().absolute(QStringLiteral("help.html"))));
}
