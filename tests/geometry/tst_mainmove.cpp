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

QByteArray text(int n) { return TestFolder::textBytes(QByteArray::number(n)); }


// As a user dragging the frame: the outer size changes, the frame stays.
void resizeOuter(QWidget *window, int width, int height)
{
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(width - frame.width(), height - frame.height());
}

Mainmove *openEditor(TestProgram &p, const QRect &twips)
{
    p.folder.plantGeometry({QByteArray::number(twips.x()), QByteArray::number(twips.y()),
                            QByteArray::number(twips.width()), QByteArray::number(twips.height())});
    auto *editor = qobject_cast<Mainmove *>(p.windows.show(WindowId::Mainmove));
    QApplication::processEvents();
    return editor;
}

} // namespace

class TestMainmove : public QObject
{
    Q_OBJECT
private slots:
    // A refused size goes back to the saved geometry, after the message.
    void opensAtTheSavedPlaceAndKeepsToTheLimits_data()
    {
        QTest::addColumn<QRect>("saved");   // twips
        QTest::addColumn<QRect>("opened");  // outer, pixels
        QTest::addColumn<QSize>("resized"); // outer, twips
        QTest::addColumn<QStringList>("messages");
        const QRect saved(1500, 750, 7500, 6000), opened(100, 50, 500, 400);
        const QString tall = QStringLiteral("system-message:縦の長さが短すぎです");
        const QString wide = QStringLiteral("system-message:横の長さが短すぎです");
        QTest::newRow("height 3495 refused") << saved << opened << QSize(7500, 3495) << QStringList{tall};
        QTest::newRow("height 3510 accepted") << saved << opened << QSize(7500, 3510) << QStringList();
        QTest::newRow("width 6990 refused") << saved << opened << QSize(6990, 6000) << QStringList{wide};
        QTest::newRow("width 7005 accepted") << saved << opened << QSize(7005, 6000) << QStringList();
        // The width is then tested on the restored window, wide enough.
        QTest::newRow("both at once: only the height") << saved << opened << QSize(6990, 3495) << QStringList{tall};
        // A narrow saved width: the open finds it, then the restore's own pass, then the outer pass.
        QTest::newRow("narrow saved width, nested") << QRect(1500, 750, 6000, 6000) << QRect(100, 50, 400, 400)
                                                    << QSize(6000, 3495) << QStringList{wide, tall, wide, wide};
        QTest::newRow("smallest, partly off the screen")
            << QRect(9000, 6000, 7005, 3510) << QRect(600, 400, 467, 234) << QSize(7005, 3510) << QStringList();
        QTest::newRow("on no screen: the primary's corner")
            << QRect(-90000, 60000, 7500, 6000) << QRect(0, 0, 500, 400) << QSize(7500, 3495) << QStringList{tall};
    }
    void opensAtTheSavedPlaceAndKeepsToTheLimits()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, opened);
        QFETCH(QSize, resized);
        QFETCH(QStringList, messages);
        TestProgram p;
        Mainmove *editor = openEditor(p, saved);
        QVERIFY(editor->frameGeometry() != editor->geometry()); // the frame is counted
        QCOMPARE(editor->frameGeometry(), opened);
        QSize whileOpen;
        p.platform.whileBoxOpen = [&](const QString &) {
            if (whileOpen.isValid())
                return;
            whileOpen = editor->frameGeometry().size();
            resizeOuter(editor, 500, 200); // the window manager passing the drag on brings no second box
        };
        editor->move(30, 20); // moving is no resize; a restore brings the saved place back too
        QApplication::processEvents();
        const QByteArray files = p.folder.geometryBytes();
        resizeOuter(editor, resized.width() / 15, resized.height() / 15);
        QCOMPARE(p.platform.entries("system-message:"), messages);
        QCOMPARE(whileOpen, messages.isEmpty() ? QSize() : resized / 15); // the message comes before the restore
        QCOMPARE(editor->outerTwips(), messages.isEmpty() ? QRectF(QPointF(30, 20) * 15, QSizeF(resized))
                                                          : QRectF(opened.topLeft() * 15, QSizeF(saved.size())));
        QCOMPARE(p.folder.geometryBytes(), files); // a resize never rewrites the saved geometry
    }

    void goBackWritesGeometryAndBringsMainBack_data()
    {
        QTest::addColumn<QRect>("outer"); // pixels
        QTest::addColumn<QByteArray>("files");
        QTest::addColumn<QRect>("button"); // centred on the outer size, not the client area
        // No events between the move and the click: offscreen would push the frame back.
        QTest::newRow("moved over the edge") << QRect(-4, -4, 488, 400) << text(-60) + text(-60) + text(7320) + text(6000)
                                             << QRect(168, 184, 153, 33);
        QTest::newRow("moved and resized") << QRect(80, 0, 467, 234) << text(1200) + text(0) + text(7005) + text(3510)
                                           << QRect(157, 101, 153, 33);
    }
    void goBackWritesGeometryAndBringsMainBack()
    {
        QFETCH(QRect, outer);
        QFETCH(QByteArray, files);
        QFETCH(QRect, button);
        TestProgram p;
        Main *main = p.showMain();
        // The editor takes Main's place, and Main's tray icon goes with it.
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        auto *editor = qobject_cast<Mainmove *>(p.windows.get(WindowId::Mainmove));
        QVERIFY(!p.windows.isLoaded(WindowId::Main) && !p.platform.trayPresent() && editor->isVisible());
        editor->move(outer.topLeft());
        resizeOuter(editor, outer.width(), outer.height());
        QCOMPARE(editor->Command1->geometry(), button);
        QTest::mouseClick(editor->Command1, Qt::LeftButton);
        QCOMPARE(p.folder.geometryBytes(), files);
        QVERIFY(!p.windows.isLoaded(WindowId::Mainmove));
        // Main has no frame: its window is exactly the editor's outer one.
        auto *again = qobject_cast<Main *>(p.windows.get(WindowId::Main));
        QVERIFY(again && again->isVisible() && again->Timer1->isActive() && p.platform.trayPresent());
        QCOMPARE(again->frameGeometry(), outer);
    }
};

QTEST_MAIN(TestMainmove)
#include "tst_mainmove.moc"
