#include "app/WindowFactories.h"
#include "app/Windows.h"
#include "platform/LinuxPlatform.h"
#include "platform/Values.h"
#include "store/DataFolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("potora"));
    QApplication::setApplicationDisplayName(QStringLiteral("ポトラ"));

    DataFolder data = DataFolder::ofExecutable();
    LinuxPlatform platform;
    const QStringList problems = data.ensureLayout();
    if (!problems.isEmpty())
        platform.message(nullptr, QStringLiteral("データフォルダを準備できませんでした。\n") + problems.join(QLatin1Char('\n')));

    Values values(data, platform);
    Windows windows(data, platform, values);
    registerWindows(windows);
    windows.show(Windows::Id::Main);
    return app.exec();
}
