#include "FakePlatform.h"

void FakePlatform::announce(const QString &text)
{
    log << QStringLiteral("announce:") + text;
    if (whileBoxOpen)
        whileBoxOpen(text);
    if (!quitting)
        log << QStringLiteral("beep");
}

void FakePlatform::systemModalMessage(const QString &text)
{
    log << QStringLiteral("system-message:") + text;
    if (whileBoxOpen)
        whileBoxOpen(text);
}

void FakePlatform::message(QWidget *, const QString &text)
{
    log << QStringLiteral("message:") + text;
    if (whileBoxOpen)
        whileBoxOpen(text);
}

void FakePlatform::trayAdd(const QIcon &, const QString &tip)
{
    log << QStringLiteral("tray-add:") + tip;
    tray = true;
}

void FakePlatform::trayDelete()
{
    log << QStringLiteral("tray-delete");
    tray = false;
}

Result<> FakePlatform::startupRegister(const QString &startIn, const QString &icon)
{
    log << QStringLiteral("startup-register:%1|%2|%3").arg(executable, startIn, icon);
    if (whileStartupChanges)
        whileStartupChanges();
    return {startupRegisterError};
}

Result<Platform::Removal> FakePlatform::startupRemove()
{
    log << QStringLiteral("startup-remove");
    if (whileStartupChanges)
        whileStartupChanges();
    return startupRemoval;
}

void FakePlatform::showHelp(const QUrl &page)
{
    log << QStringLiteral("help:") + page.toString();
}

void FakePlatform::quitProgram()
{
    log << QStringLiteral("quit");
    quitting = true;
}

QStringList FakePlatform::entries(const QString &prefix) const
{
    QStringList found;
    for (const QString &entry : log) {
        if (entry.startsWith(prefix))
            found << entry;
    }
    return found;
}
