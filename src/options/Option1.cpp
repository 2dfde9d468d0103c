#include "Option1.h"

#include "kit/FlagBox.h"
#include "kit/Navigation.h"
#include "kit/Twips.h"
#include "platform/Platform.h"
#include "store/Flag.h"
#include "store/Texts.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QPushButton>
#include <QUrl>

Option1::Option1(Values &values, Platform &platform, Navigation &navigation, ProgramPlaces places)
    : m_values(values)
    , m_platform(platform)
    , m_navigation(navigation)
    , m_places(std::move(places))
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setDesign(QStringLiteral("オプション"));
    setFixedSize(Twips::toPixels(4680), Twips::toPixels(2070));

    Command1 = Twips::button(this, QStringLiteral("ポトラの終了"), 120, 120, 4335, 375);
    Check1 = new FlagBox(QStringLiteral("スタートアップに登録"), this);
    Twips::place(Check1, 120, 600, 4215, 375);
    Command2 = Twips::button(this, QStringLiteral("OK"), 1920, 1680, 1215, 375);
    Command3 = Twips::button(this, QStringLiteral("キャンセル"), 3240, 1680, 1215, 375);
    Command4 = Twips::button(this, QStringLiteral("ヘルプを見る"), 120, 1080, 1815, 375);
    setTabOrder(Command1, Check1);
    setTabOrder(Check1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);

    connect(Command1, &QPushButton::clicked, this, &Option1::Option1_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Option1::Option1_Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Option1::Option1_Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Option1::Option1_Command4_Click);
}

void Option1::Option1_Form_Load()
{
    Check1->setCheckState(flagState(m_values.read(ValueFiles::kStartupFlag)));
}

void Option1::Option1_Command1_Click()
{
    m_navigation.quit();
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
    // registration fails; a flag that cannot be written is told of, and the
    // registration goes on.
    std::ignore = m_values.writeInteger(ValueFiles::kStartupFlag, 1);
    const Result<> registered = m_platform.startupRegister(m_places.startIn, m_places.icon);
    if (registered.ok())
        m_platform.message(this, Texts::registered());
    else
        m_platform.message(this, Texts::registerFailed(registered.error));
}

void Option1::removeStartup()
{
    std::ignore = m_values.writeInteger(ValueFiles::kStartupFlag, 0);
    const Result<Platform::Removal> removed = m_platform.startupRemove();
    if (!removed.ok())
        m_platform.message(this, Texts::unregisterFailed(removed.error));
    else if (removed.value == Platform::Removal::Removed)
        m_platform.message(this, Texts::unregistered());
    else
        m_platform.message(this, Texts::wasNotRegistered());
}

void Option1::Option1_Command3_Click()
{
    unloadForm();
}

void Option1::Option1_Command4_Click()
{
    m_platform.showHelp(QUrl::fromLocalFile(m_places.help));
}
