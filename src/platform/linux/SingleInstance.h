#pragma once

#include "platform/SystemStart.h"

#include <QObject>
#include <QString>

// One running copy per data folder: two copies would overwrite each other's
// memo files. The first start holds a lock file in the data folder and
// listens on a Unix socket named for the user and the folder; a later
// start asks it to bring Main up and goes away. Plain sockets rather than
// QtNetwork, whose library and the Kerberos and proxy libraries it brings
// would cost every start 1.5 MB.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    using Outcome = SystemStart::Outcome;

    // `patienceMs`: how long to wait for a copy that holds the folder but
    // does not answer yet (it may be just starting).
    explicit SingleInstance(const QString &dataRoot, int patienceMs = 5000, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Writes nothing unless this copy is the first.
    Outcome claim();

    static QString lockPath(const QString &dataRoot);
    static QString serverPath(const QString &dataRoot);

signals:
    // A later start asked for Main.
    void showRequested();

private:
    bool askRunningCopy();
    void listen();
    void accept();
    void serve(int connection);

    QString m_root;
    int m_patienceMs;
    int m_lock = -1;
    int m_listener = -1;
};
