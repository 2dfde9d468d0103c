#include "main/Main.h"
#include "support/TestFolder.h"

#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <qtestspontaneevent.h>

using Id = WindowId;

namespace {

// Stands in for a window another part of the program provides, and notes
// each run of its load handler.
class NotingForm : public Form
{
public:
    NotingForm(QStringList &notes, QString name)
        : m_notes(notes)
        , m_name(std::move(name))
    {
    }
    void formLoad() override { m_notes << m_name; }

private:
    QStringList &m_notes;
    QString m_name;
};

// Delivers a close request as the window manager's (spontaneous) or as
// the program's own; sendEvent would clear the spontaneous mark.
bool deliverClose(QWidget *window, bool spontaneous)
{
    QCloseEvent event;
    if (spontaneous)
        QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(window, &event);
    return event.isAccepted();
}

} // namespace

class TestMainTray : public QObject
{
    Q_OBJECT

private slots:
    void everyStartUpStepAddsTheIcon()
    {
        TestProgram p;
        auto *main = static_cast<Main *>(p.windows.show(Id::Main));
        QCOMPARE(p.platform.entries("tray-"), QStringList{"tray-add:ポトラ"});
        // The tray shows the window's icon; a null icon would show nothing.
        QVERIFY(!main->windowIcon().pixmap(16).isNull());

        // The icon vanished from outside (a panel restarted): the next
        // minute's check brings it back, and nothing ever deletes it.
        p.platform.tray = false;
        main->Main_Timer1_Timer();
        main->Main_Timer1_Timer();
        QCOMPARE(p.platform.entries("tray-"), QStringList(3, "tray-add:ポトラ"));
        QVERIFY(p.platform.trayPresent());
    }

    void aPressOnTheIconBringsMainUp()
    {
        TestProgram p;
        Form *main = p.windows.show(Id::Main);
        main->showMinimized();
        emit p.platform.trayLeftPressed();
        QVERIFY(main->isVisible() && !main->isMinimized());
    }

    void closeGuard_data()
    {
        QTest::addColumn<QString>("session"); // what the session manager said before
        QTest::addColumn<bool>("spontaneous");
        QTest::addColumn<bool>("closes");
        QTest::newRow("user's close key") << "" << true << false;
        QTest::newRow("program's close") << "" << false << true;
        // A desktop saves the session now and then without logging off.
        QTest::newRow("user's close key after a checkpoint") << "checkpoint" << true << false;
        QTest::newRow("log-off") << "end" << true << true;
    }
    void closeGuard()
    {
        QFETCH(QString, session);
        QFETCH(bool, spontaneous);
        QFETCH(bool, closes);
        TestProgram p;
        QPointer<Form> main = p.windows.show(Id::Main);
        if (session == QStringLiteral("checkpoint")) {
            emit p.platform.sessionSaving();
        } else if (session == QStringLiteral("end")) {
            emit p.platform.sessionEnding();
            QCOMPARE(p.platform.log.filter("quit"), QStringList{"quit"});
        }

        if (p.windows.isLoaded(Id::Main))
            QCOMPARE(deliverClose(main, spontaneous), closes);
        QCOMPARE(p.windows.isLoaded(Id::Main), !closes);
        QCOMPARE(p.platform.trayPresent(), !closes);
        // Refused or not, the guard says nothing.
        QVERIFY(p.platform.log.filter("message").isEmpty());
        if (closes)
            delete main; // the event went past the widget's own close
    }

    void timer2LoadsTheTwoWindowsHiddenOnce()
    {
        TestProgram p;
        QStringList loads;
        p.windows.setFactory(Id::Timermemo, [&] { return new NotingForm(loads, "Timermemo"); });
        p.windows.setFactory(Id::OpenTimer, [&] { return new NotingForm(loads, "OpenTimer"); });
        auto *main = static_cast<Main *>(p.windows.show(Id::Main));
        QCOMPARE(main->Timer2->interval(), 10000);
        QVERIFY(main->Timer2->isActive());
        QVERIFY(loads.isEmpty());

        main->Main_Timer2_Timer();
        main->Main_Timer2_Timer();
        QCOMPARE(loads, (QStringList{"Timermemo", "OpenTimer"}));
        QVERIFY(!p.windows.get(Id::Timermemo)->isVisible());
        QVERIFY(!p.windows.get(Id::OpenTimer)->isVisible());

        // Closed by its own button, it is back, hidden, at the next tick.
        QVERIFY(p.windows.unload(Id::Timermemo));
        main->Main_Timer2_Timer();
        QCOMPARE(loads, (QStringList{"Timermemo", "OpenTimer", "Timermemo"}));
        QVERIFY(!p.windows.get(Id::Timermemo)->isVisible());
    }
};

QTEST_MAIN(TestMainTray)
#include "tst_main_tray.moc"
