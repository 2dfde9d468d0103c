#include "LinuxSessionWatch.h"

#include <QEvent>
#include <QGuiApplication>

LinuxSessionWatch::LinuxSessionWatch(QGuiApplication &app)
    : SessionWatch(app)
{
    app.installEventFilter(this);
}

bool LinuxSessionWatch::eventFilter(QObject *watched, QEvent *event)
{
    // The session manager's last word reaches the application as a quit.
    // Qt would close the windows in any order and pass over the close
    // guards' reasons; the program's own quit does it in its order.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        emit ending();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
