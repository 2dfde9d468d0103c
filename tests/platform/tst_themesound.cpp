// The sound theme's name as a desktop's settings manager announces it: the
// bytes of its XSettings property, in either byte order, whole or cut short.
#include "platform/linux/ThemeSound.h"

#include <QTest>

namespace {

QByteArray number(quint32 value, int size, bool big)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += char(value >> 8 * (big ? size - 1 - i : i));
    return bytes;
}

QByteArray padded(QByteArray bytes)
{
    return bytes.append(QByteArray((4 - bytes.size() % 4) % 4, '\0'));
}

// Settings as "name=text", "name#" (an integer) or "name@" (a colour).
QByteArray settingsProperty(bool big, const QList<QByteArray> &settings)
{
    QByteArray bytes = char(big) + QByteArray(7, '\0') + number(settings.size(), 4, big);
    for (const QByteArray &setting : settings) {
        const int end = setting.indexOf('=') >= 0 ? setting.indexOf('=') : setting.size() - 1;
        const char type = setting[end] == '=' ? 1 : setting[end] == '#' ? 0 : 2;
        bytes += char(type) + QByteArray(1, '\0') + number(end, 2, big) + padded(setting.left(end)) + number(7, 4, big);
        const QByteArray text = setting.mid(end + 1);
        bytes += type == 1 ? number(text.size(), 4, big) + padded(text) : QByteArray(type == 0 ? 4 : 8, '\x7f');
    }
    return bytes;
}

} // namespace

class TestThemeSound : public QObject
{
    Q_OBJECT
private slots:
    void themeName_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("theme");
        const QList<QByteArray> desktop{"Net/ThemeName=Adwaita", "Net/DoubleClickTime#", "Gtk/CursorThemeColor@",
                                        "Net/SoundThemeName=ocean"};
        QTest::newRow("little-endian") << settingsProperty(false, desktop) << "ocean";
        QTest::newRow("big-endian") << settingsProperty(true, desktop) << "ocean";
        QTest::newRow("no sound theme") << settingsProperty(false, desktop.mid(0, 3)) << "";
        QTest::newRow("a type of no meaning") << settingsProperty(false, desktop).replace(12, 1, "\x05") << "";
        QTest::newRow("empty") << QByteArray() << "";
    }

    void themeName()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, theme);
        QCOMPARE(ThemeSound::xsettingsString(bytes, "Net/SoundThemeName"), theme);
        // Cut short anywhere before the padding of the last value, it names
        // no theme and reads nothing beyond (checked by the sanitizers).
        for (int size = 0; size < bytes.size() - 3; ++size)
            QCOMPARE(ThemeSound::xsettingsString(bytes.left(size), "Net/SoundThemeName"), QString());
    }
};

QTEST_GUILESS_MAIN(TestThemeSound)
#include "tst_themesound.moc"
