// The options window over a temporary data folder and the fake platform.
#include "support/TestFolder.h"

#include "kit/FlagBox.h"
#include "options/Option1.h"
#include "store/ValueFiles.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace {

using Id = WindowId;

const QList<Id> kQuitOrder = {Id::Main,       Id::AOpen,      Id::OpenTimer,  Id::Timermemo, Id::Timermemo1,
                              Id::Timermemo2, Id::Timermemo3, Id::Mainmove,   Id::Option1};

// Stands in for the windows other parts of the program bring; guarded like
// most of them, so the quit has to pass their guards.
class StubWindow : public GuardedForm
{
};

Option1 *openOptions(TestProgram &program, const QByteArray &flag = "0\r\n")
{
    program.folder.plant(ValueFiles::kStartupFlag, flag);
    return qobject_cast<Option1 *>(program.windows.show(Id::Option1));
}

QByteArray allValueFiles(const TestFolder &folder)
{
    QByteArray files;
    for (const ValueFiles::Entry &entry : ValueFiles::inventory())
        files += folder.bytes(entry.path) + '|';
    return files;
}

} // namespace

class TestOption1 : public QObject
{
    Q_OBJECT

private slots:
    void checkBoxFromFlag_data()
    {
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<int>("state");
        QTest::newRow("0 cleared") << QByteArray("0\r\n") << int(Qt::Unchecked);
        QTest::newRow("1 ticked") << QByteArray("1\r\n") << int(Qt::Checked);
        QTest::newRow("2 greyed") << QByteArray("2\r\n") << int(Qt::PartiallyChecked);
        QTest::newRow("empty file") << QByteArray() << int(Qt::Unchecked);
        QTest::newRow("not a number") << QByteArray("\"yes\"\r\n") << int(Qt::Unchecked);
        QTest::newRow("other number") << QByteArray("7\r\n") << int(Qt::Unchecked);
    }

    void checkBoxFromFlag()
    {
        QFETCH(QByteArray, flag);
        QFETCH(int, state);
        TestProgram program;
        QCheckBox *box = openOptions(program, flag)->Check1;
        QCOMPARE(int(box->checkState()), state);

        // Clicks toggle; the greyed state comes only from the file.
        QList<Qt::CheckState> states;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(box, Qt::LeftButton);
            states << box->checkState();
        }
        QVERIFY(!states.contains(Qt::PartiallyChecked));
        QVERIFY(states[0] != states[1] && states[0] == states[2]);
    }

    void ok_data()
    {
        QTest::addColumn<QByteArray>("flagBefore");
        QTest::addColumn<int>("wanted");            // the state the user leaves the box in
        QTest::addColumn<QString>("registerError"); // what the registration answers
        QTest::addColumn<int>("removal");           // what the removal answers
        QTest::addColumn<QByteArray>("flagAfter");
        QTest::addColumn<QStringList>("requests");  // start-up requests and messages, in order

        // The running program is registered with its own data folder (@).
        const QString reg = QStringLiteral("startup-register:/opt/potora/potora|@|@/set/icon.png");
        const QString del = QStringLiteral("startup-remove");
        const int removed = int(Platform::Removal::Removed);
        const QByteArray on("1\r\n"), off("0\r\n");
        QTest::newRow("tick and register") << off << int(Qt::Checked) << QString() << removed << on
                                           << QStringList{reg, "message:スタートアップに登録しました"};
        QTest::newRow("registered again") << on << int(Qt::Checked) << QString() << removed << on
                                          << QStringList{reg, "message:スタートアップに登録しました"};
        QTest::newRow("registration fails")
            << off << int(Qt::Checked) << QString("disk full") << removed << on
            << QStringList{reg, "message:スタートアップに登録できませんでした\n理由: disk full"};
        QTest::newRow("clear and remove") << on << int(Qt::Unchecked) << QString() << removed << off
                                          << QStringList{del, "message:スタートアップから削除しました"};
        QTest::newRow("nothing to remove")
            << off << int(Qt::Unchecked) << QString() << int(Platform::Removal::NotRegistered) << off
            << QStringList{del, "message:スタートアップにはもともと登録されていません"};
        QTest::newRow("removal fails")
            << on << int(Qt::Unchecked) << QString() << int(Platform::Removal::Failed) << off
            << QStringList{del, "message:スタートアップから削除できませんでした\n理由: busy"};
        QTest::newRow("greyed does nothing")
            << QByteArray("2\r\n") << int(Qt::PartiallyChecked) << QString() << removed << QByteArray("2\r\n")
            << QStringList{};
    }

    void ok()
    {
        QFETCH(QByteArray, flagBefore);
        QFETCH(int, wanted);
        QFETCH(QString, registerError);
        QFETCH(int, removal);
        QFETCH(QByteArray, flagAfter);
        QFETCH(QStringList, requests);
        TestProgram program;
        program.platform.startupRegisterError = registerError;
        program.platform.startupRemoval = {Platform::Removal(removal), QStringLiteral("busy")};
        QByteArray flagDuringChange = "<not asked>";
        program.platform.whileStartupChanges = [&] {
            flagDuringChange = program.folder.bytes(ValueFiles::kStartupFlag);
        };

        Option1 *options = openOptions(program, flagBefore);
        while (options->Check1->checkState() != Qt::CheckState(wanted))
            QTest::mouseClick(options->Check1, Qt::LeftButton);
        QTest::mouseClick(options->Command2, Qt::LeftButton);

        QStringList seen = program.platform.log.filter(QRegularExpression("^(startup-|message:)"));
        QCOMPARE(seen, requests.replaceInStrings(QStringLiteral("@"), program.folder.data.root()));
        QCOMPARE(program.folder.bytes(ValueFiles::kStartupFlag), flagAfter);
        if (!requests.isEmpty())
            QCOMPARE(flagDuringChange, flagAfter); // the flag is written before the change
        // Only the greyed box leaves the window open.
        QCOMPARE(program.windows.isLoaded(Id::Option1), requests.isEmpty());
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<bool>("viaCloseBox");
        QTest::newRow("キャンセル") << false;
        QTest::newRow("close box") << true;
    }

    void cancelWritesNothing()
    {
        QFETCH(bool, viaCloseBox);
        TestProgram program;
        Option1 *options = openOptions(program, "1\r\n");
        QTest::mouseClick(options->Check1, Qt::LeftButton);
        if (viaCloseBox)
            options->close();
        else
            QTest::mouseClick(options->Command3, Qt::LeftButton);

        QVERIFY(!program.windows.isLoaded(Id::Option1));
        QCOMPARE(program.folder.bytes(ValueFiles::kStartupFlag), QByteArray("1\r\n"));
        QVERIFY(program.platform.log.filter(QRegularExpression("^(startup-|message:)")).isEmpty());
        // The next opening shows what is stored, not what was discarded.
        QCOMPARE(openOptions(program, "1\r\n")->Check1->checkState(), Qt::Checked);
    }

    void quit_data()
    {
        QTest::addColumn<QList<Id>>("open"); // besides Option1
        QTest::newRow("every window") << kQuitOrder;
        QTest::newRow("only the options") << QList<Id>{};
        QTest::newRow("Main with its usual two") << QList<Id>{Id::Main, Id::AOpen, Id::OpenTimer, Id::Timermemo};
        QTest::newRow("position editor instead of Main") << QList<Id>{Id::Mainmove, Id::Timermemo, Id::OpenTimer};
        QTest::newRow("editors without their overview") << QList<Id>{Id::Timermemo3, Id::Timermemo1};
    }

    void quit()
    {
        QFETCH(QList<Id>, open);
        TestProgram program;
        for (const Id id : kQuitOrder) {
            if (id != Id::Main && id != Id::Option1)
                program.windows.setFactory(id, [] { return new StubWindow; });
        }
        for (const Id id : open)
            program.windows.show(id);
        Option1 *options = openOptions(program);
        // Main's start brings other windows up by itself; keep only the row's.
        QStringList expected;
        for (const Id id : kQuitOrder) {
            if (id != Id::Option1 && !open.contains(id))
                program.windows.unload(id);
            else
                expected << QStringLiteral("unloaded:%1").arg(int(id));
        }
        const QByteArray filesBefore = allValueFiles(program.folder);
        program.platform.log.clear();
        connect(&program.windows, &Windows::unloaded, &program.platform,
                [&program](Id id) { program.platform.log << QStringLiteral("unloaded:%1").arg(int(id)); });

        QTest::mouseClick(options->Command1, Qt::LeftButton);

        QStringList seen = program.platform.log;
        seen.removeAll(QStringLiteral("tray-delete"));
        QCOMPARE(seen, expected << QStringLiteral("quit"));
        for (const Id id : kQuitOrder)
            QVERIFY(!program.windows.isLoaded(id));
        QVERIFY(!program.platform.trayPresent());
        QCOMPARE(allValueFiles(program.folder), filesBefore);
    }

    void helpOpensThePageOfTheDataFolder()
    {
        TestProgram program;
        QTest::mouseClick(openOptions(program)->Command4, Qt::LeftButton);
        const QStringList shown = program.platform.entries(QStringLiteral("help:"));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(QUrl(shown[0].mid(5)).toLocalFile(), program.folder.data.absolute(QStringLiteral("help.html")));
        // Help leaves the options window as it is.
        QVERIFY(program.windows.isLoaded(Id::Option1));
    }
};

QTEST_MAIN(TestOption1)
#include "tst_option1.moc"
