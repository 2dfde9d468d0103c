// The help viewer as the system's own platform shows it, on every system.
#include "platform/HelpViewer.h"
#include "platform/Platform.h"
#include "platform/SystemStart.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

QList<HelpViewer *> viewers()
{
    QList<HelpViewer *> found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *viewer = qobject_cast<HelpViewer *>(window))
            found << viewer;
    }
    return found;
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    // One viewer, brought up again and reading the page anew; a new one once
    // it is closed; quitting with one open still ends the run.
    void oneHelpViewerUntilClosed()
    {
        SystemStart system(QStringLiteral("ポトラ"));
        Platform &platform = system.platform();
        QTemporaryDir dir;
        const auto show = [&](const QByteArray &body) {
            QFile page(dir.filePath(QStringLiteral("help.html")));
            QVERIFY(page.open(QIODevice::WriteOnly) && page.write(body) == body.size());
            page.close();
            platform.showHelp(QUrl::fromLocalFile(page.fileName()));
        };
        show("first");
        QCOMPARE(viewers().size(), 1);
        HelpViewer *first = viewers().first();
        QVERIFY(first->isVisible());
        first->showMinimized();
        show("second");
        QCOMPARE(viewers(), QList<HelpViewer *>{first});
        QVERIFY(!first->isMinimized() && first->browser()->toPlainText() == QStringLiteral("second"));
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(viewers().isEmpty());
        show("third");
        QCOMPARE(viewers().size(), 1);
        QTimer::singleShot(0, &platform, [&platform] { platform.quitProgram(); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(3); }); // a quit that does not end the loop
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
