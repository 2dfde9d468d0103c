// The position and size editor: its outer geometry, the limits and their
// messages, and the way back to Main. Offscreen windows get a frame too.
#include "geometry/Mainmove.h"
#include "main/Main.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString kFiles[4] = {ValueFiles::kLeft, ValueFiles::kTop, ValueFiles::kWidth, ValueFiles::kHeight};

QByteArray text(int n) { return TestFolder::textBytes(QByteArray::number(n)); }

QByteArray saved(const TestFolder &folder)
{
    QByteArray bytes;
    for (const QString &file : kFiles)
        bytes += folder.bytes(file);
    return bytes;
}

// As a user dragging the frame: the outer size changes, the frame stays.
void resizeOuter(QWidget *window, int width, int height)
{
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(width - frame.width(), height - frame.height());
}

void plantGeometry(const TestFolder &folder, const QRect &twips = QRect(1500, 750, 7500, 6000))
{
    const int values[4] = {twips.x(), twips.y(), twips.width(), twips.height()};
    for (int i = 0; i < 4; ++i)
        folder.plant(kFiles[i], text(values[i]));
}

Mainmove *openEditor(TestProgram &p, const QRect &twips = QRect(1500, 750, 7500, 6000))
{
    plantGeometry(p.folder, twips);
    return qobject_cast<Mainmove *>(p.windows.show(WindowId::Mainmove));
}

} // namespace

class TestMainmove : public QObject
{
    Q_OBJECT
private slots:
    void opensAtSavedOuterGeometry_data()
    {
        QTest::addColumn<QRect>("saved"); // twips
        QTest::addColumn<QRect>("outer"); // pixels, frame included
        QTest::newRow("on screen") << QRect(1500, 750, 7500, 6000) << QRect(100, 50, 500, 400);
        QTest::newRow("smallest accepted, partly off the screen") << QRect(9000, 6000, 7005, 3510) << QRect(600, 400, 467, 234);
        QTest::newRow("on no screen: top-left of the primary") << QRect(-90000, 60000, 7500, 6000) << QRect(0, 0, 500, 400);
    }
    void opensAtSavedOuterGeometry()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, outer);
        TestProgram p;
        Mainmove *editor = openEditor(p, saved);
        QApplication::processEvents();
        QVERIFY(editor->frameGeometry() != editor->geometry()); // the frame is counted
        QCOMPARE(editor->frameGeometry(), outer);
        QVERIFY(p.platform.entries("system-message:").isEmpty());
        // The button is centred on the outer size (153 x 33 pixels, rounded).
        resizeOuter(editor, 600, 300);
        QCOMPARE(editor->Command1->geometry(), QRect(224, 134, 153, 33));
    }

    void limits_data()
    {
        QTest::addColumn<QRect>("saved");   // twips
        QTest::addColumn<QSize>("resized"); // outer, twips
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QSize>("after");   // outer, twips
        const QRect saved(1500, 750, 7500, 6000);
        const QString tall = QStringLiteral("system-message:縦の長さが短すぎです");
        const QString wide = QStringLiteral("system-message:横の長さが短すぎです");
        QTest::newRow("height 3495 refused") << saved << QSize(7500, 3495) << QStringList{tall} << saved.size();
        QTest::newRow("height 3510 accepted") << saved << QSize(7500, 3510) << QStringList() << QSize(7500, 3510);
        QTest::newRow("width 6990 refused") << saved << QSize(6990, 6000) << QStringList{wide} << saved.size();
        QTest::newRow("width 7005 accepted") << saved << QSize(7005, 6000) << QStringList() << QSize(7005, 6000);
        // The width is tested on the restored window, which is wide enough.
        QTest::newRow("both at once: only the height") << saved << QSize(6990, 3495) << QStringList{tall} << saved.size();
        // A saved width that breaks the limit: the restore's own pass finds
        // it, then the outer pass finds it again; the saved geometry stays.
        QTest::newRow("narrow saved width, nested")
            << QRect(1500, 750, 6000, 6000) << QSize(6000, 3495) << QStringList{tall, wide, wide} << QSize(6000, 6000);
    }
    void limits()
    {
        QFETCH(QRect, saved);
        QFETCH(QSize, resized);
        QFETCH(QStringList, messages);
        QFETCH(QSize, after);
        TestProgram p;
        Mainmove *editor = openEditor(p, saved);
        QApplication::processEvents();
        editor->move(30, 20); // a restore brings the saved place back too
        p.platform.log.clear();
        const QByteArray files = ::saved(p.folder);
        resizeOuter(editor, resized.width() / 15, resized.height() / 15);
        QCOMPARE(p.platform.log, messages);
        QCOMPARE(editor->outerTwips().size(), QSizeF(after));
        QCOMPARE(editor->frameGeometry().topLeft(), messages.isEmpty() ? QPoint(30, 20) : saved.topLeft() / 15);
        QCOMPARE(::saved(p.folder), files); // a resize never rewrites the saved geometry
    }

    void messageComesBeforeRestore()
    {
        TestProgram p;
        Mainmove *editor = openEditor(p);
        QSize whileOpen;
        p.platform.whileBoxOpen = [&](const QString &) {
            whileOpen = editor->frameGeometry().size();
            // The window manager passing the drag on while the box is up
            // brings no second box.
            resizeOuter(editor, 500, 200);
        };
        resizeOuter(editor, 500, 233);
        QCOMPARE(whileOpen, QSize(500, 233));
        QCOMPARE(p.platform.entries("system-message:").size(), 1);
        QCOMPARE(editor->frameGeometry(), QRect(100, 50, 500, 400));
        p.platform.log.clear();
        editor->move(300, 700); // moving alone is no resize
        QApplication::processEvents();
        QCOMPARE(editor->frameGeometry(), QRect(300, 700, 500, 400));
        QVERIFY(p.platform.log.isEmpty());
    }

    void goBackWritesGeometryAndBringsMainBack_data()
    {
        QTest::addColumn<QRect>("outer"); // pixels
        QTest::addColumn<QByteArray>("files");
        // No events between the move and the click: the offscreen platform
        // would push the frame back onto the screen.
        QTest::newRow("moved over the edge") << QRect(-4, -4, 500, 400) << text(-60) + text(-60) + text(7500) + text(6000);
        QTest::newRow("moved and resized") << QRect(80, 0, 467, 234) << text(1200) + text(0) + text(7005) + text(3510);
    }
    void goBackWritesGeometryAndBringsMainBack()
    {
        QFETCH(QRect, outer);
        QFETCH(QByteArray, files);
        TestProgram p;
        p.folder.plant(ValueFiles::kStartupMemo, "\"memo\"\r\n");
        plantGeometry(p.folder);
        auto *main = qobject_cast<Main *>(p.windows.show(WindowId::Main));
        p.platform.log.clear();
        // The editor takes Main's place, and Main's tray icon goes with it.
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        auto *editor = qobject_cast<Mainmove *>(p.windows.get(WindowId::Mainmove));
        QVERIFY(!p.windows.isLoaded(WindowId::Main) && !p.platform.trayPresent() && editor->isVisible());
        editor->move(outer.topLeft());
        resizeOuter(editor, outer.width(), outer.height());
        QTest::mouseClick(editor->Command1, Qt::LeftButton);
        QCOMPARE(saved(p.folder), files);
        QVERIFY(!p.windows.isLoaded(WindowId::Mainmove));
        // Main has no frame: its window is exactly the editor's outer one.
        auto *again = qobject_cast<Main *>(p.windows.get(WindowId::Main));
        QVERIFY(again && again->isVisible() && again->Timer1->isActive());
        QCOMPARE(again->frameGeometry(), outer);
        const QStringList tray = p.platform.entries("tray-");
        QCOMPARE(tray.first() + tray.last(), QStringLiteral("tray-deletetray-add:ポトラ"));
        QVERIFY(p.platform.entries("announce:").isEmpty()); // the start-up memo does not come again
    }
};

QTEST_MAIN(TestMainmove)
#include "tst_mainmove.moc"
