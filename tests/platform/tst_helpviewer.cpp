// The help viewer on the Linux platform: one window, opened from a file URL
// that survives any folder name, and gone with the program.
#include "platform/linux/HelpViewer.h"
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

int viewerCount()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<HelpViewer *>(w) != nullptr;
    return count;
}

// A help page in a data folder of that name; returns its URL.
QUrl plantPage(const QTemporaryDir &dir, const QString &folderName, const QString &body)
{
    const QString folder = dir.path() + u'/' + folderName;
    QDir().mkpath(folder);
    QFile page(folder + QStringLiteral("/help.html"));
    if (!page.open(QIODevice::WriteOnly))
        return QUrl();
    page.write(QStringLiteral("<html><head><meta charset=\"utf-8\"><title>ポトラ ヘルプ</title></head>"
                              "<body><h1>%1</h1></body></html>")
                   .arg(body)
                   .toUtf8());
    return QUrl::fromLocalFile(folder + QStringLiteral("/help.html"));
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestHelpViewer : public QObject
{
    Q_OBJECT

private slots:
    void opensPageInAnyFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("space") << "my memos";
        QTest::newRow("hash") << "memo#1";
        QTest::newRow("percent") << "100%";
        QTest::newRow("percent that looks escaped") << "a%20b";
        QTest::newRow("question mark") << "why?";
        QTest::newRow("japanese") << "ドキュメント/ポトラ";
    }

    void opensPageInAnyFolder()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        const QUrl page = plantPage(dir, folder, QStringLiteral("目次です"));
        LinuxPlatform platform(QStringLiteral("ポトラ"));

        platform.showHelp(page);
        QVERIFY(platform.helpViewer());
        QVERIFY(platform.helpViewer()->isVisible());
        QVERIFY2(platform.helpViewer()->browser()->toPlainText().contains(QStringLiteral("目次です")),
                 qPrintable(page.toString()));
        QCOMPARE(platform.helpViewer()->windowTitle(), QStringLiteral("ポトラ ヘルプ"));
    }

    void oneViewerUntilClosedGoneWithTheProgram()
    {
        QTemporaryDir dir;
        const QUrl page = plantPage(dir, QStringLiteral("data"), QStringLiteral("first"));
        {
            LinuxPlatform platform(QStringLiteral("ポトラ"));
            platform.showHelp(page);
            HelpViewer *first = platform.helpViewer();
            QVERIFY(first);
            // The user wanders off to nothing in particular and minimises it.
            first->browser()->setHtml(QStringLiteral("elsewhere"));
            first->showMinimized();
            plantPage(dir, QStringLiteral("data"), QStringLiteral("second"));

            platform.showHelp(page);
            QCOMPARE(viewerCount(), 1);
            QCOMPARE(platform.helpViewer(), first);
            QVERIFY(!first->isMinimized());
            QVERIFY(first->browser()->toPlainText().contains(QStringLiteral("second")));

            first->close();
            settle();
            QCOMPARE(viewerCount(), 0);
            QVERIFY(!platform.helpViewer());

            platform.showHelp(page);
            QCOMPARE(viewerCount(), 1);
            QVERIFY(platform.helpViewer()->isVisible());
        }
        settle();
        QCOMPARE(viewerCount(), 0);
    }

    void quitEndsTheRunWithTheViewerOpen()
    {
        QTemporaryDir dir;
        LinuxPlatform platform(QStringLiteral("ポトラ"));
        platform.showHelp(plantPage(dir, QStringLiteral("data"), QStringLiteral("x")));
        QTimer::singleShot(0, &platform, [&platform] { platform.quitProgram(); });
        // Should the quit not end the loop, this ends it with a failing status.
        QTimer::singleShot(10000, [] { QCoreApplication::exit(3); });

        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(platform.helpViewer() && platform.helpViewer()->isVisible());
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
