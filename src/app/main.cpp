#include "app/SingleInstance.h"
#include "app/WindowFactories.h"
#include "app/Windows.h"
#include "platform/DesktopSession.h"
#include "platform/Form.h"
#include "platform/LinuxPlatform.h"
#include "platform/Values.h"
#include "store/DataFolder.h"
#include "store/Rescue.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    DesktopSession::preferX11();
    QApplication app(argc, argv);
    // No display name: Qt would append " — ポトラ" to every window's title.
    QApplication::setApplicationName(QStringLiteral("potora"));

    DataFolder data = DataFolder::ofExecutable();
    LinuxPlatform platform;
    // Before anything is written: a second copy must leave the folder alone.
    SingleInstance instance(data.root());
    switch (instance.claim()) {
    case SingleInstance::Outcome::Handed:
        return 0;
    case SingleInstance::Outcome::Unreachable:
        platform.message(nullptr, QStringLiteral("ポトラはこのフォルダで既に動いていますが、応答がありません。"));
        return 1;
    case SingleInstance::Outcome::First:
        break;
    }

    const QStringList problems = data.ensureLayout();
    if (!problems.isEmpty())
        platform.message(nullptr, QStringLiteral("データフォルダを準備できませんでした。\n") + problems.join(QLatin1Char('\n')));

    // Shown now: it could not be when the session that left it was ending.
    const QString notice = Rescue::takeNotice(platform.userDataFolder());
    if (!notice.isEmpty())
        platform.message(nullptr, notice);

    Values values(data, platform);
    Windows windows(data, platform, values);
    registerWindows(windows);
    DesktopSession::Watch session(app);
    QObject::connect(&session, &DesktopSession::Watch::commitData, &windows, &Windows::commitData);
    QObject::connect(&session, &DesktopSession::Watch::ending, &windows, &Windows::endSession);
    DesktopSession::quitOnTermination();
    // A second start brings Main up as a tray click does.
    QObject::connect(&instance, &SingleInstance::showRequested, &windows, [&windows] {
        if (Form *main = windows.get(Windows::Id::Main))
            main->formShow();
    });
    windows.show(Windows::Id::Main);
    return app.exec();
}
