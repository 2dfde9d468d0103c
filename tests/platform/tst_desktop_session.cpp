#include "platform/DesktopSession.h"

#include <QtTest>

class TestDesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void platformChoice_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("Wayland with XWayland") << QByteArray() << QByteArray("wayland-0") << QByteArray(":0")
                                              << QByteArray("xcb");
        QTest::newRow("user chose Wayland") << QByteArray("wayland") << QByteArray("wayland-0")
                                            << QByteArray(":0") << QByteArray();
        QTest::newRow("user chose xcb") << QByteArray("xcb") << QByteArray("wayland-0") << QByteArray(":0")
                                        << QByteArray();
        QTest::newRow("Wayland without X server") << QByteArray() << QByteArray("wayland-0") << QByteArray()
                                                  << QByteArray();
        QTest::newRow("plain X11") << QByteArray() << QByteArray() << QByteArray(":0") << QByteArray();
    }
    void platformChoice()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, platform);
        QCOMPARE(DesktopSession::platformFor(chosen, wayland, x11), platform);
    }

    void preferX11LeavesAChoiceAlone()
    {
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        qputenv("DISPLAY", ":0");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        DesktopSession::preferX11();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), QByteArray("offscreen"));

        qunsetenv("QT_QPA_PLATFORM");
        DesktopSession::preferX11();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
    }
};

QTEST_APPLESS_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
