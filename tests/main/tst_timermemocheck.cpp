#include "main/Main.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/Timermemo.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

QDateTime at(int day, int h, int m, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms));
}

} // namespace

class TimerMemoCheckTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;
    Main *main = nullptr;

    void memo(int n, const QString &text, const QString &hour, const QString &minute, const QByteArray &flag = "1")
    {
        program->values.writeText(ValueFiles::timerText(n), text);
        program->values.writeText(ValueFiles::timerHour(n), hour);
        program->values.writeText(ValueFiles::timerMinute(n), minute);
        program->folder.plant(ValueFiles::timerEnabled(n), flag + "\r\n");
    }
    void startMain(const QDateTime &time)
    {
        program->platform.clock = time;
        main = static_cast<Main *>(program->windows.load(WindowId::Main));
        program->platform.log.clear();
    }
    void tick(const QDateTime &time)
    {
        program->platform.clock = time;
        main->Main_Timer1_Timer();
    }
    QStringList shown() const
    {
        QStringList texts = program->platform.entries(QStringLiteral("announce:"));
        return texts.replaceInStrings(QRegularExpression("^announce:"), QString());
    }
    void toggleInOverview()
    {
        auto *overview = static_cast<Timermemo *>(program->windows.show(WindowId::Timermemo));
        QTest::mouseClick(overview->Check1, Qt::LeftButton);
        QTest::mouseClick(overview->Command6, Qt::LeftButton);
    }

private slots:
    void init() { program = std::make_unique<TestProgram>(); }
    void cleanup()
    {
        program.reset();
        main = nullptr;
    }

    void dueTimeMatching_data()
    {
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QTime>("clock");
        QTest::addColumn<bool>("due");

        const QTime t0705(7, 5, 0, 200);
        const auto row = [](const char *name, const QByteArray &flag, const QString &hour, const QString &minute,
                            const QTime &clock, bool due) { QTest::newRow(name) << flag << hour << minute << clock << due; };
        row("07:05 at 07:05", "1", "07", "05", t0705, true);
        row("23:59 at 23:59", "1", "23", "59", QTime(23, 59, 0, 200), true);
        row("00:00 at midnight", "1", "00", "00", QTime(0, 0, 0, 200), true);
        row("single-digit hour", "1", "7", "05", t0705, false);
        row("single-digit minute", "1", "07", "5", t0705, false);
        row("full-width digits", "1", QStringLiteral("０７"), "05", t0705, false);
        row("space before colon", "1", "07 ", "05", t0705, false);
        row("hour 24", "1", "24", "00", QTime(0, 0, 0, 200), false);
        row("minute 60", "1", "07", "60", QTime(8, 0, 0, 200), false);
        row("empty time", "1", "", "", t0705, false);
        for (const char *flag : {"0", "01", "True", "-1", ""})
            row(qPrintable(QStringLiteral("flag '%1'").arg(flag)), flag, "07", "05", t0705, false);
        row("flag 1 as text", "\"1\"", "07", "05", t0705, true);
    }
    void dueTimeMatching()
    {
        QFETCH(QByteArray, flag);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QTime, clock);
        QFETCH(bool, due);
        memo(2, QStringLiteral("薬"), hour, minute, flag);
        const QDateTime now(QDate(2026, 12, 6), clock);
        startMain(now.addSecs(-60));
        tick(now);
        QCOMPARE(shown(), due ? QStringList{QStringLiteral("薬")} : QStringList{});
        QCOMPARE(main->Label5->text(), now.toString(QStringLiteral("HH:mm")));
    }

    void dueMemosComeInOrderEachFollowedByItsBeep()
    {
        memo(3, QStringLiteral("三"), "07", "05");
        memo(1, QStringLiteral("一\r\n二行目"), "07", "05");
        memo(2, QString(), "07", "05");
        startMain(at(6, 7, 4, 59));
        tick(at(6, 7, 5, 0, 200));
        // Then the start-up step runs again.
        QCOMPARE(program->platform.log,
                 (QStringList{QStringLiteral("announce:一\n二行目"), "beep", "announce:", "beep",
                              QStringLiteral("announce:三"), "beep", QStringLiteral("tray-add:ポトラ")}));
    }

    void everyMinuteIsCheckedExactlyOnce_data()
    {
        QTest::addColumn<QList<QDateTime>>("times"); // Main's start, then the ticks
        QTest::addColumn<QList<int>>("steps");       // seconds the clock is set by just before each
        QTest::addColumn<QStringList>("expected");
        // Memo 1 is due at 07:05, memo 2 at 07:06.
        const QDateTime start = at(6, 7, 4, 59);
        const auto row = [](const char *name, const QList<QDateTime> &times, const QStringList &expected,
                            QList<int> steps = {}) {
            while (steps.size() < times.size())
                steps << 0;
            QTest::newRow(name) << times << steps << expected;
        };
        row("ticks on time", {start, at(6, 7, 5, 0, 200), at(6, 7, 6, 0, 200)}, {"m1", "m2"});
        row("one late tick takes the passed minutes in order", {start, at(6, 7, 7, 30)}, {"m1", "m2"});
        row("a tick a little early finds the minute not yet come", {start, at(6, 7, 4, 59, 990), at(6, 7, 5, 0, 10)},
            {"m1"});
        row("two ticks in one minute", {start, at(6, 7, 5, 0, 200), at(6, 7, 5, 59, 900)}, {"m1"});
        row("sleep of three days shows each memo once", {start, at(9, 7, 10)}, {"m1", "m2"});
        // More than a day passed over: only its last day is looked at.
        row("sleep of a day and an hour", {start, at(6, 7, 5, 0, 200), at(7, 8, 0)}, {"m1", "m1", "m2"});
        row("the minute Main starts in is not checked", {at(6, 7, 5, 30), at(6, 7, 6, 0, 200)}, {"m2"});
        // The clock set right while the program runs.
        row("clock set back eight hours: on by the new clock at once",
            {at(6, 15, 4, 59), at(6, 15, 5, 0, 200), at(6, 7, 6, 0, 200)}, {"m2"}, {0, 0, -8 * 3600});
        row("clock set forward eight hours: the minutes skipped are not replayed",
            {at(6, 7, 0, 59), at(6, 7, 1, 0, 200), at(6, 15, 2, 0, 200)}, {}, {0, 0, 8 * 3600});
        row("clock set back over a shown minute shows it again",
            {start, at(6, 7, 5, 0, 200), at(6, 7, 3, 10), at(6, 7, 5, 0, 200), at(6, 7, 6, 0, 200)},
            {"m1", "m1", "m2"}, {0, 0, -120});
        row("a correction of seconds checks no minute twice", {start, at(6, 7, 5, 0, 200), at(6, 7, 6, 0, 200)},
            {"m1", "m2"}, {0, 0, -3});
        row("clock set back two days starts afresh",
            {start, at(6, 7, 5, 0, 200), at(4, 7, 5, 30), at(4, 7, 6, 0, 200)}, {"m1", "m2"}, {0, 0, -2 * 86400});
    }
    void everyMinuteIsCheckedExactlyOnce()
    {
        QFETCH(QList<QDateTime>, times);
        QFETCH(QList<int>, steps);
        QFETCH(QStringList, expected);
        memo(1, "m1", "07", "05");
        memo(2, "m2", "07", "06");
        startMain(times.takeFirst());
        for (int i = 0; i < times.size(); ++i) {
            program->platform.stepClock(steps[i + 1]);
            tick(times[i]);
        }
        QCOMPARE(shown(), expected);
    }

    void tickIsArmedForJustAfterTheNextMinute_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<int>("interval");
        QTest::newRow("one second before") << QTime(7, 4, 59) << 1200;
        QTest::newRow("just after") << QTime(7, 5, 0, 200) << 60000;
        QTest::newRow("mid-minute") << QTime(7, 5, 30, 500) << 29700;
    }
    void tickIsArmedForJustAfterTheNextMinute()
    {
        QFETCH(QTime, now);
        QFETCH(int, interval);
        startMain(QDateTime(QDate(2026, 12, 6), now));
        QVERIFY(main->Timer1->isActive() && main->Timer1->isSingleShot());
        QCOMPARE(main->Timer1->interval(), interval);
        // The tick's closing start-up step re-arms it from the clock again.
        tick(QDateTime(QDate(2026, 12, 6), now).addSecs(60));
        QCOMPARE(main->Timer1->interval(), interval);
    }

    void noTickStartsWhileAnotherWaitsOnItsBox()
    {
        memo(1, "m1", "07", "05");
        memo(2, "m2", "07", "06");
        startMain(at(6, 7, 4, 59));
        int boxes = 0;
        program->platform.whileBoxOpen = [&](const QString &) {
            if (++boxes > 1)
                return;
            // The box stays open into 07:07; the timer comes meanwhile.
            program->platform.clock = at(6, 7, 7, 10);
            main->Main_Timer1_Timer();
        };
        tick(at(6, 7, 5, 0, 200));
        QCOMPARE(program->platform.log,
                 (QStringList{"announce:m1", "beep", "announce:m2", "beep", QStringLiteral("tray-add:ポトラ")}));
        QCOMPARE(main->Label5->text(), QStringLiteral("07:07"));
        QCOMPARE(main->Timer1->interval(), 50000 + 200);
    }

    void mainGoneDuringTheBoxEndsTheTick()
    {
        memo(1, "m1", "07", "05");
        memo(2, "m2", "07", "05");
        startMain(at(6, 7, 4, 59));
        program->platform.whileBoxOpen = [&](const QString &) { program->windows.unload(WindowId::Main); };
        tick(at(6, 7, 5, 0, 200));
        // No second box and no start-up step after Main went.
        QCOMPARE(program->platform.log, (QStringList{"announce:m1", "tray-delete", "beep"}));
    }

    void memoSwitchedOffInTheOverviewIsNoLongerShown()
    {
        memo(1, "m1", "07", "05");
        startMain(at(6, 7, 3, 59));
        tick(at(6, 7, 4, 0, 200)); // the holder learns 07:05
        QCOMPARE(main->Label7->text(), QStringLiteral("07:05"));

        toggleInOverview();
        QCOMPARE(program->folder.bytes(ValueFiles::timerEnabled(1)), QByteArray("0\r\n"));
        tick(at(6, 7, 5, 0, 200));
        QVERIFY(shown().isEmpty());

        // Switched on again, it comes due at its next time.
        toggleInOverview();
        tick(at(7, 7, 5, 0, 200));
        QCOMPARE(shown(), QStringList{"m1"});
    }
};

QTEST_MAIN(TimerMemoCheckTest)
#include "tst_timermemocheck.moc"
