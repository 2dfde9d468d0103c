#include "SessionWatch.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <windows.h>

SessionWatch::SessionWatch(QGuiApplication &app)
{
    // Qt answers WM_QUERYENDSESSION itself, with yes, once it has asked for
    // the data to be committed.
    connect(&app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { emit commitData(); });
    app.installNativeEventFilter(this);
}

SessionWatch::~SessionWatch()
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        app->removeNativeEventFilter(this);
}

bool SessionWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    // Sent to a window ("generic") or posted and taken from the queue ("dispatcher").
    if (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG")
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    // Every top-level window of the program is told; the first one counts.
    // wParam FALSE: someone refused, and the session goes on.
    if (msg->message != WM_ENDSESSION || !msg->wParam)
        return false;
    if (!m_ended) {
        m_ended = true;
        emit ending();
    }
    // A message taken from the queue has no result to give.
    if (result)
        *result = 0;
    return true;
}
