#pragma once

#include "platform/SingleInstance.h"

#include <QString>

// The one running copy on Linux: the first start holds a lock file in the
// data folder and listens on a Unix socket named for the user and the
// folder. Plain sockets rather than QtNetwork, whose library and the
// Kerberos and proxy libraries it brings would cost every start 1.5 MB.
class LinuxSingleInstance : public SingleInstance
{
    Q_OBJECT
public:
    explicit LinuxSingleInstance(const QString &dataRoot, int patienceMs = 5000, QObject *parent = nullptr);
    ~LinuxSingleInstance() override;

    static QString lockPath(const QString &dataRoot);
    static QString serverPath(const QString &dataRoot);

private:
    bool askRunningCopy() override;
    bool holdFolder() override;
    void listen() override;
    void accept();
    void serve(int connection);

    QString m_root;
    int m_lock = -1;
    int m_listener = -1;
};
