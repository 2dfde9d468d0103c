#pragma once

#include "platform/Platform.h"

#include <QStringList>
#include <QTemporaryDir>

// Stands in for the desktop in tests: the clock is set by hand, boxes are
// answered at once, and every request is recorded in order in `log`, for
// instance "announce:text", "beep", "message:text", "tray-add:ポトラ",
// "startup-register:program|folder|icon" (the program is `executable`),
// "startup-remove", "help:url", "quit".
class FakePlatform : public Platform
{
    Q_OBJECT
public:
    using Platform::Platform;

    // Setting `clock` is time passing; stepClock() sets the clock without
    // any time passing, as a correction or a change of zone does.
    QDateTime clock = QDateTime(QDate(2026, 12, 6), QTime(7, 4, 59));
    qint64 stepped = 0;
    void stepClock(qint64 secs)
    {
        clock = clock.addSecs(secs);
        stepped += secs * 1000;
    }
    QStringList log;
    bool tray = false;
    bool quitting = false;

    // Runs while a box is "open", before it is answered.
    std::function<void(const QString &)> whileBoxOpen;

    QDateTime now() const override { return clock; }
    qint64 bootClockMs() const override { return clock.toMSecsSinceEpoch() - stepped; }

    void announce(const QString &text) override;
    void systemModalMessage(const QString &text) override;
    void message(QWidget *parent, const QString &text) override;

    void trayAdd(const QIcon &icon, const QString &tip) override;
    void trayDelete() override;
    bool trayPresent() const override { return tray; }

    // What the next start-up requests answer.
    QString startupRegisterError;
    Result<Removal> startupRemoval{Removal::Removed, QString()};
    // Runs while a start-up registration or removal is under way.
    std::function<void()> whileStartupChanges;

    Result<> startupRegister(const QString &startIn, const QString &icon) override;
    Result<Removal> startupRemove() override;
    void showHelp(const QUrl &page) override;
    void quitProgram() override;
    QString executable = QStringLiteral("/opt/potora/potora");
    QString executablePath() const override { return executable; }
    QTemporaryDir userData;
    QString userDataFolder() const override { return userData.path(); }
    QString userDataHome() const override { return userData.path(); }

    // Entries of `log` that start with `prefix`.
    QStringList entries(const QString &prefix) const;
};
