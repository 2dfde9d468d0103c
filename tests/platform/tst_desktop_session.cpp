#include "platform/linux/DesktopSession.h"
#include "platform/linux/LinuxPlatform.h"

#include <QSessionManager>
#include <QtTest>
#include <qtestspontaneevent.h>

class TestDesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void waylandRunsThroughXWayland_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QByteArray>("x11Display");
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("WAYLAND_DISPLAY") << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray(":0")
                                         << QByteArray("xcb");
        QTest::newRow("session type") << QByteArray() << QByteArray() << QByteArray("wayland") << QByteArray(":0")
                                      << QByteArray("xcb");
        QTest::newRow("X11 session") << QByteArray() << QByteArray() << QByteArray("x11") << QByteArray(":0")
                                     << QByteArray();
        QTest::newRow("no X server beside Wayland") << QByteArray() << QByteArray("wayland-0")
                                                    << QByteArray("wayland") << QByteArray() << QByteArray();
        QTest::newRow("user's choice") << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray("wayland")
                                       << QByteArray(":0") << QByteArray("wayland");
    }
    void waylandRunsThroughXWayland()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QByteArray, x11Display);
        QFETCH(QByteArray, platform);
        const auto set = [](const char *name, const QByteArray &value) {
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        };
        set("QT_QPA_PLATFORM", chosen);
        set("WAYLAND_DISPLAY", waylandDisplay);
        set("XDG_SESSION_TYPE", sessionType);
        set("DISPLAY", x11Display);
        DesktopSession::preferX11();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platform);
    }

    void aCheckpointOnlySavesTheEndEndsTheRun()
    {
        LinuxPlatform platform(QStringLiteral("ポトラ"));
        QSignalSpy saving(&platform, &Platform::sessionSaving);
        QSignalSpy ending(&platform, &Platform::sessionEnding);
        // A desktop saving its session without logging off.
        auto *manager = qApp->findChild<QSessionManager *>();
        QVERIFY(manager);
        emit qApp->commitDataRequest(*manager);
        QCOMPARE(saving.count(), 1);
        QCOMPARE(ending.count(), 0);
        // The session manager's last word reaches the application as a quit,
        // which the program carries out itself.
        QEvent quit(QEvent::Quit);
        QSpontaneKeyEvent::setSpontaneous(&quit);
        QVERIFY(qApp->notify(qApp, &quit));
        QCOMPARE(ending.count(), 1);
    }
};

QTEST_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
