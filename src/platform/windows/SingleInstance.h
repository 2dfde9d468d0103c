#pragma once

#include "platform/SystemStart.h"

#include <QObject>
#include <QString>

// One running copy per data folder: two copies would overwrite each other's
// memo files. The first start owns a named mutex for the user's session and
// the folder, and keeps a hidden message window named the same way; a later
// start asks that window to bring Main up and goes away. Windows takes the
// mutex from its owner when that ends, however it ends, while a copy that
// hangs keeps it.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    using Outcome = SystemStart::Outcome;

    // `patienceMs`: how long to wait for a copy that holds the folder but
    // does not answer yet (it may be just starting).
    explicit SingleInstance(const QString &dataRoot, int patienceMs = 5000, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes nothing unless this copy is the first.
    Outcome claim();

    // The name of the mutex and of the message window: the same for every
    // spelling of one folder (letter case, separators, a short name).
    static QString nameFor(const QString &dataRoot);

signals:
    // A later start asked for Main.
    void showRequested();

private:
    bool askRunningCopy();
    void listen();

    QString m_name;
    int m_patienceMs;
    void *m_mutex = nullptr;
    void *m_window = nullptr;
};
