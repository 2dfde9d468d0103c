// Twenty keys typed into a memo page at ten a second, as the program handles
// them, on storage whose syncs take SLOW_SYNC_MS longer (the slow_sync
// library preloaded; bench/typing.py runs it at 0, 100 and 250 ms). Prints
// the longest time a key spent on the user-interface thread and how long
// after the last key was pressed its text was synced, in milliseconds.
#include "app/Program.h"
#include "main/Main.h"
#include "platform/fake/FakePlatform.h"
#include "store/DataFolder.h"
#include "store/ProgramPlaces.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kKeys = 20, kApartMs = 100;
    QTemporaryDir dir;
    const DataFolder data(dir.path());
    if (!data.ensureLayout().ok())
        return 1;
    FakePlatform platform;
    Program program(data, platform, ProgramPlaces::decide(dir.path(), true, true, QString()));
    program.start();
    QPlainTextEdit *box = static_cast<Main *>(program.windows.get(WindowId::Main))->text(1);

    QElapsedTimer clock;
    clock.start();
    double longest = 0;
    int sent = 0;
    QTimer keys;
    keys.setInterval(1);
    QObject::connect(&keys, &QTimer::timeout, [&] {
        // A key is pressed on time; one that comes while the last is still
        // handled waits, as in the window system's queue.
        if (sent == kKeys || clock.elapsed() < sent * kApartMs)
            return;
        const QString text(QChar(u'a' + sent));
        QElapsedTimer handling;
        handling.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + sent, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + sent, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::sendEvent(box, &release);
        longest = std::max(longest, handling.nsecsElapsed() / 1e6);
        if (++sent < kKeys)
            return;
        program.values.flush(-1);
        std::printf("%.1f %.1f\n", longest, clock.nsecsElapsed() / 1e6 - (kKeys - 1) * kApartMs);
        app.quit();
    });
    keys.start();
    return app.exec();
}
