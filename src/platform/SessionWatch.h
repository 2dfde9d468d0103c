#pragma once

#include <QObject>

class QGuiApplication;

// What the desktop session asks of the program, as each system tells it:
// to save what can be saved, which it may ask while the session goes on,
// and to let go because the session ends.
class SessionWatch : public QObject
{
    Q_OBJECT
public:
    explicit SessionWatch(QGuiApplication &app);

signals:
    // Save now what can be saved; the session may go on.
    void commitData();
    // The session ends: every window must let go, and the run ends.
    void ending();
};
