#include "app/Program.h"
#include "platform/linux/SingleInstance.h"
#include "kit/Form.h"
#include "kit/Look.h"
#include "kit/ProgramIcon.h"
#include "platform/linux/DesktopSession.h"
#include "platform/linux/LinuxPlatform.h"
#include "store/DataFolder.h"
#include "store/Rescue.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    DesktopSession::preferX11();
    QApplication app(argc, argv);
    // No display name: Qt would append " — ポトラ" to every window's title.
    QApplication::setApplicationName(QStringLiteral("potora"));
    QApplication::setWindowIcon(ProgramIcon::icon());

    LinuxPlatform platform(Look::kProgramName);
    const DataFolder data(QFileInfo(platform.executablePath()).absolutePath());
    // Before anything is written: a second copy must leave the folder alone.
    SingleInstance instance(data.root());
    switch (instance.claim()) {
    case SingleInstance::Outcome::Handed:
        return 0;
    case SingleInstance::Outcome::Unreachable:
        platform.message(nullptr, Look::kProgramName + QStringLiteral("はこのフォルダで既に動いていますが、応答がありません。"));
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

    Program program(data, platform);
    DesktopSession::quitOnTermination();
    // A second start brings Main up as a tray click does.
    QObject::connect(&instance, &SingleInstance::showRequested, &program.windows, [&program] {
        if (Form *main = program.windows.get(WindowId::Main))
            main->formShow();
    });
    program.windows.show(WindowId::Main);
    return app.exec();
}
