#include "platform/DesktopSession.h"

#include <QtTest>

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
};

QTEST_APPLESS_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
