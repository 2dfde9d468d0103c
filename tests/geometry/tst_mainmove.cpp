#include "support/TestFolder.h"

#include "geometry/Mainmove.h"
#include "main/Main.h"
#include "store/ValueFiles.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Id = WindowId;

namespace {

QByteArray text(int n) { return TestFolder::textBytes(QByteArray::number(n)); }

// Saved geometry in twips, as the four files hold it.
void plantGeometry(const TestFolder &folder, const QRect &twips)
{
    folder.plant(ValueFiles::kLeft, text(twips.x()));
    folder.plant(ValueFiles::kTop, text(twips.y()));
    folder.plant(ValueFiles::kWidth, text(twips.width()));
    folder.plant(ValueFiles::kHeight, text(twips.height()));
}

QByteArray savedGeometry(const TestFolder &folder)
{
    return folder.bytes(ValueFiles::kLeft) + folder.bytes(ValueFiles::kTop) + folder.bytes(ValueFiles::kWidth)
        + folder.bytes(ValueFiles::kHeight);
}

// Resizes the window as a user dragging its frame does: the outer size
// changes, the frame stays.
void resizeOuter(QWidget *window, int width, int height)
{
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(width - frame.width(), height - frame.height());
}

Mainmove *openEditor(TestProgram &program, const QRect &saved = QRect(1500, 750, 7500, 6000))
{
    plantGeometry(program.folder, saved);
    return qobject_cast<Mainmove *>(program.windows.show(Id::Mainmove));
}

} // namespace

class MainmoveTest : public QObject
{
    Q_OBJECT
private slots:
    void opensAtSavedOuterGeometry_data();
    void opensAtSavedOuterGeometry();
    void limits_data();
    void limits();
    void messageComesBeforeRestore();
    void goBackWritesGeometryAndBringsMainBack_data();
    void goBackWritesGeometryAndBringsMainBack();
    void failedSaveKeepsEditor();
};

void MainmoveTest::opensAtSavedOuterGeometry_data()
{
    QTest::addColumn<QRect>("saved"); // twips
    QTest::addColumn<QRect>("outer"); // pixels, frame included
    QTest::newRow("on screen") << QRect(1500, 750, 7500, 6000) << QRect(100, 50, 500, 400);
    QTest::newRow("smallest accepted, partly off the screen")
        << QRect(9000, 6000, 7005, 3510) << QRect(600, 400, 467, 234);
    QTest::newRow("on no screen: top-left of the primary, same size")
        << QRect(-90000, 60000, 7500, 6000) << QRect(0, 0, 500, 400);
}

void MainmoveTest::opensAtSavedOuterGeometry()
{
    QFETCH(QRect, saved);
    QFETCH(QRect, outer);
    TestProgram program;
    Mainmove *editor = openEditor(program, saved);
    QApplication::processEvents();

    // The frame is counted: the client area is smaller than the saved size.
    QVERIFY(editor->frameGeometry() != editor->geometry());
    QCOMPARE(editor->frameGeometry(), outer);
    QVERIFY(program.platform.entries("system-message:").isEmpty());

    // The button is centred on the outer size (153 x 33 pixels, rounded);
    // the label stays where it was designed.
    resizeOuter(editor, 600, 300);
    QCOMPARE(editor->Command1->geometry(), QRect(224, 134, 153, 33));
    QCOMPARE(editor->Label5->geometry(), QRect(8, 216, 449, 41));
    QCOMPARE(editor->Command1->text() + editor->windowTitle(), QStringLiteral("元にもどすポトラ"));
}

void MainmoveTest::limits_data()
{
    QTest::addColumn<QRect>("saved");    // twips
    QTest::addColumn<QSize>("resized");  // outer, twips
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QSize>("after");    // outer, twips

    const QRect saved(1500, 750, 7500, 6000);
    const QString tall = QStringLiteral("system-message:縦の長さが短すぎです");
    const QString wide = QStringLiteral("system-message:横の長さが短すぎです");
    QTest::newRow("height 3495 refused") << saved << QSize(7500, 3495) << QStringList{tall} << saved.size();
    QTest::newRow("height 3510 accepted") << saved << QSize(7500, 3510) << QStringList() << QSize(7500, 3510);
    QTest::newRow("width 6990 refused") << saved << QSize(6990, 6000) << QStringList{wide} << saved.size();
    QTest::newRow("width 7005 accepted") << saved << QSize(7005, 6000) << QStringList() << QSize(7005, 6000);
    // The width is tested on the restored window, which is wide enough.
    QTest::newRow("both at once: only the height") << saved << QSize(6990, 3495) << QStringList{tall} << saved.size();
    // A saved width that breaks the limit: the restore's own pass finds it,
    // then the outer pass finds it again; the saved geometry stays.
    QTest::newRow("narrow saved width, nested")
        << QRect(1500, 750, 6000, 6000) << QSize(6000, 3495) << QStringList{tall, wide, wide} << QSize(6000, 6000);
}

void MainmoveTest::limits()
{
    QFETCH(QRect, saved);
    QFETCH(QSize, resized);
    QFETCH(QStringList, messages);
    QFETCH(QSize, after);
    TestProgram program;
    Mainmove *editor = openEditor(program, saved);
    QApplication::processEvents();
    // Moved first: a restore brings the saved place back too.
    editor->move(30, 20);
    program.platform.log.clear();
    const QByteArray files = savedGeometry(program.folder);

    resizeOuter(editor, resized.width() / 15, resized.height() / 15);

    QCOMPARE(program.platform.log, messages);
    QCOMPARE(editor->outerTwips().size(), QSizeF(after));
    const QPoint place = messages.isEmpty() ? QPoint(30, 20) : QPoint(saved.x() / 15, saved.y() / 15);
    QCOMPARE(editor->frameGeometry().topLeft(), place);
    // The saved geometry is never rewritten by a resize.
    QCOMPARE(savedGeometry(program.folder), files);
}

void MainmoveTest::messageComesBeforeRestore()
{
    TestProgram program;
    Mainmove *editor = openEditor(program);
    QSize whileOpen;
    program.platform.whileBoxOpen = [&](const QString &) {
        whileOpen = editor->frameGeometry().size();
        // The window manager still passing on the drag while the box is up
        // brings no second box.
        resizeOuter(editor, 500, 200);
    };

    resizeOuter(editor, 500, 233);

    QCOMPARE(whileOpen, QSize(500, 233));
    QCOMPARE(program.platform.entries("system-message:").size(), 1);
    QCOMPARE(editor->frameGeometry(), QRect(100, 50, 500, 400));

    // Moving alone is no resize.
    program.platform.log.clear();
    editor->move(300, 700);
    QApplication::processEvents();
    QCOMPARE(editor->frameGeometry(), QRect(300, 700, 500, 400));
    QVERIFY(program.platform.log.isEmpty());
}

void MainmoveTest::goBackWritesGeometryAndBringsMainBack_data()
{
    QTest::addColumn<QRect>("outer"); // pixels
    QTest::addColumn<QByteArray>("files");
    // No events are processed between the move and the click: the
    // offscreen platform would push the frame back onto the screen.
    QTest::newRow("moved over the edge") << QRect(-4, -4, 500, 400) << text(-60) + text(-60) + text(7500) + text(6000);
    QTest::newRow("moved and resized") << QRect(80, 0, 467, 234) << text(1200) + text(0) + text(7005) + text(3510);
}

void MainmoveTest::goBackWritesGeometryAndBringsMainBack()
{
    QFETCH(QRect, outer);
    QFETCH(QByteArray, files);
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, "\"memo\"\r\n");
    plantGeometry(program.folder, QRect(1500, 750, 7500, 6000));
    auto *main = qobject_cast<Main *>(program.windows.show(Id::Main));
    program.platform.log.clear();

    // The editor takes Main's place, and Main's tray icon goes with it.
    QTest::mouseClick(main->Command1, Qt::LeftButton);
    QVERIFY(!program.windows.isLoaded(Id::Main));
    QVERIFY(!program.platform.trayPresent());
    auto *editor = qobject_cast<Mainmove *>(program.windows.get(Id::Mainmove));
    QVERIFY(editor && editor->isVisible());
    editor->move(outer.topLeft());
    resizeOuter(editor, outer.width(), outer.height());

    QTest::mouseClick(editor->Command1, Qt::LeftButton);

    QCOMPARE(savedGeometry(program.folder), files);
    QVERIFY(!program.windows.isLoaded(Id::Mainmove));
    // Main has no frame: its window is exactly the editor's outer one.
    auto *again = qobject_cast<Main *>(program.windows.get(Id::Main));
    QVERIFY(again && again->isVisible());
    QCOMPARE(again->frameGeometry(), outer);
    QVERIFY(again->Timer1->isActive() && again->Timer2->isActive());
    QCOMPARE(program.platform.entries("tray-").first(), QStringLiteral("tray-delete"));
    QCOMPARE(program.platform.entries("tray-").last(), QStringLiteral("tray-add:ポトラ"));
    QVERIFY(program.platform.trayPresent());
    // The start-up memo does not come again.
    QVERIFY(program.platform.entries("announce:").isEmpty());
}

void MainmoveTest::failedSaveKeepsEditor()
{
    TestProgram program;
    Mainmove *editor = openEditor(program);
    editor->move(0, 0);
    program.folder.breakFile(ValueFiles::kTop);

    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(program.windows.isLoaded(Id::Mainmove));
    QVERIFY(!program.windows.isLoaded(Id::Main));
    QCOMPARE(program.platform.entries("message:").size(), 1);

    program.folder.mendFile(ValueFiles::kTop);
    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    QCOMPARE(program.folder.bytes(ValueFiles::kTop), text(0));
    QVERIFY(program.windows.isLoaded(Id::Main));
}

QTEST_MAIN(MainmoveTest)
#include "tst_mainmove.moc"
