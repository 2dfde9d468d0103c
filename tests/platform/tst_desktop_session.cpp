#include "platform/DesktopSession.h"

#include <QtTest>

class TestDesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void platformChoice_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("Wayland with XWayland") << QByteArray() << true << QByteArray(":0") << QByteArray("xcb");
        QTest::newRow("user chose Wayland") << QByteArray("wayland") << true << QByteArray(":0") << QByteArray();
        QTest::newRow("user chose xcb") << QByteArray("xcb") << true << QByteArray(":0") << QByteArray();
        QTest::newRow("Wayland without X server") << QByteArray() << true << QByteArray() << QByteArray();
        QTest::newRow("plain X11") << QByteArray() << false << QByteArray(":0") << QByteArray();
    }
    void platformChoice()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(bool, wayland);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, platform);
        QCOMPARE(DesktopSession::platformFor(chosen, wayland, x11), platform);
    }

    void preferX11ReadsTheSession_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("WAYLAND_DISPLAY") << QByteArray() << QByteArray("wayland-0") << QByteArray()
                                         << QByteArray("xcb");
        QTest::newRow("session type") << QByteArray() << QByteArray() << QByteArray("wayland") << QByteArray("xcb");
        QTest::newRow("X11 session") << QByteArray() << QByteArray() << QByteArray("x11") << QByteArray();
        QTest::newRow("user's choice") << QByteArray("offscreen") << QByteArray("wayland-0") << QByteArray("wayland")
                                       << QByteArray("offscreen");
    }
    void preferX11ReadsTheSession()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QByteArray, platform);
        const auto set = [](const char *name, const QByteArray &value) {
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        };
        set("QT_QPA_PLATFORM", chosen);
        set("WAYLAND_DISPLAY", waylandDisplay);
        set("XDG_SESSION_TYPE", sessionType);
        qputenv("DISPLAY", ":0");
        DesktopSession::preferX11();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platform);
    }
};

QTEST_APPLESS_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
