#include "WindowsSessionWatch.h"

#include <QGuiApplication>

#include <windows.h>

WindowsSessionWatch::WindowsSessionWatch(QGuiApplication &app)
    : SessionWatch(app)
{
    app.installNativeEventFilter(this);
}

WindowsSessionWatch::~WindowsSessionWatch()
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        app->removeNativeEventFilter(this);
}

bool WindowsSessionWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    // Qt hands a message on as "windows_generic_MSG" when it was sent to a
    // window and as "windows_dispatcher_MSG" when it was posted and taken
    // from the queue; both are looked at.
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
