#include "SessionWatch.h"

#include <QGuiApplication>
#include <QSessionManager>

SessionWatch::SessionWatch(QGuiApplication &app)
{
    // Qt asks for the data on a session manager's checkpoint and on
    // Windows' WM_QUERYENDSESSION, which it then answers itself, with yes.
    connect(&app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { emit commitData(); });
}
