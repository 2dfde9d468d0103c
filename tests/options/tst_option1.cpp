// The options window: registering at log-on, its messages, and the help page.
#include "kit/FlagBox.h"
#include "options/Option1.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QPushButton>
#include <QTest>

namespace {
Option1 *openOptions(TestProgram &p, const QByteArray &flag)
{
    p.folder.plant(ValueFiles::kStartupFlag, flag);
    return qobject_cast<Option1 *>(p.windows.show(WindowId::Option1));
}
} // namespace

class TestOption1 : public QObject
{
    Q_OBJECT
private slots:
    void ok_data()
    {
        QTest::addColumn<QByteArray>("flagBefore");
        QTest::addColumn<int>("clicks");            // on the check box before OK
        QTest::addColumn<Removal>("answer");        // Failed: the registration or removal fails
        QTest::addColumn<QByteArray>("flagAfter");
        QTest::addColumn<QStringList>("requests");  // start-up requests and messages, in order
        // The running program is registered with its own data folder (@).
        const QString reg = QStringLiteral("startup-register:/opt/potora/potora|@|@/set/icon.png");
        const QByteArray on("1\r\n"), off("0\r\n"), greyed("2\r\n");
        QTest::newRow("tick and register") << off << 1 << Removal::Removed << on
                                           << QStringList{reg, "message:スタートアップに登録しました"};
        QTest::newRow("registration fails") << off << 1 << Removal::Failed << on
                                            << QStringList{reg, "message:スタートアップに登録できませんでした\n理由: disk full"};
        QTest::newRow("clear and remove") << on << 1 << Removal::Removed << off
                                          << QStringList{"startup-remove", "message:スタートアップから削除しました"};
        QTest::newRow("nothing to remove") << off << 0 << Removal::NotRegistered << off
                                           << QStringList{"startup-remove", "message:スタートアップにはもともと登録されていません"};
        QTest::newRow("removal fails") << on << 1 << Removal::Failed << off
                                       << QStringList{"startup-remove", "message:スタートアップから削除できませんでした\n理由: busy"};
        QTest::newRow("greyed does nothing") << greyed << 0 << Removal::Removed << greyed << QStringList{};
    }
    void ok()
    {
        QFETCH(QByteArray, flagBefore);
        QFETCH(int, clicks);
        QFETCH(Removal, answer);
        QFETCH(QByteArray, flagAfter);
        QFETCH(QStringList, requests);
        TestProgram p;
        p.platform.startupRegisterError = answer == Removal::Failed ? QStringLiteral("disk full") : QString();
        p.platform.startupRemoval = {answer != Removal::NotRegistered, answer == Removal::Failed ? QStringLiteral("busy") : QString()};
        QByteArray flagDuringChange = flagAfter;
        p.platform.whileStartupChanges = [&] { flagDuringChange = p.folder.bytes(ValueFiles::kStartupFlag); };
        Option1 *options = openOptions(p, flagBefore);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(options->Check1, Qt::LeftButton);
        QTest::mouseClick(options->Command2, Qt::LeftButton);
        QCOMPARE(p.platform.log.filter(QRegularExpression("^(startup-|message:)")),
                 requests.replaceInStrings(QStringLiteral("@"), p.folder.data.root()));
        // The flag is written first: it keeps the user's choice even when the registration fails.
        QCOMPARE(p.folder.bytes(ValueFiles::kStartupFlag) + flagDuringChange, flagAfter + flagAfter);
        QCOMPARE(p.windows.isLoaded(WindowId::Option1), requests.isEmpty()); // only greyed stays open
    }

    // Help opens the data folder's page and leaves the window open; cancel and the close box write nothing.
    void helpCancelAndTheCloseBox()
    {
        TestProgram p;
        for (bool closeBox : {false, true}) {
            Option1 *options = openOptions(p, "1\r\n");
            QTest::mouseClick(options->Check1, Qt::LeftButton);
            QTest::mouseClick(options->Command4, Qt::LeftButton);
            QVERIFY(p.windows.isLoaded(WindowId::Option1));
            closeBox ? void(options->close()) : QTest::mouseClick(options->Command3, Qt::LeftButton);
            QVERIFY(!p.windows.isLoaded(WindowId::Option1));
        }
        QCOMPARE(p.folder.bytes(ValueFiles::kStartupFlag), QByteArray("1\r\n"));
        const QString help = "help:" + QUrl::fromLocalFile(p.folder.data.absolute("help.html")).toString();
        QCOMPARE(p.platform.log.filter(QRegularExpression("^(startup-|message:|help:)")), QStringList({help, help}));
    }
};

QTEST_MAIN(TestOption1)
#include "tst_option1.moc"
