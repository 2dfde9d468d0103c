#include "FakePlatform.h"

void FakePlatform::announce(const QString &text)
{
    log << QStringLiteral("announce:") + text;
    if (whileBoxOpen)
        whileBoxOpen(text);
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

QStringList FakePlatform::entries(const QString &prefix) const
{
    QStringList found;
    for (const QString &entry : log) {
        if (entry.startsWith(prefix))
            found << entry;
    }
    return found;
}
