#pragma once

#include "platform/SingleInstance.h"

#include <QString>

// The one running copy on Windows: the first start owns a named mutex for
// the user's session and the folder, and keeps a hidden message window
// named the same way, which later starts ask. Windows takes the mutex from
// its owner when that ends, however it ends, while a copy that hangs keeps
// it.
class WindowsSingleInstance : public SingleInstance
{
    Q_OBJECT
public:
    explicit WindowsSingleInstance(const QString &dataRoot, int patienceMs = 5000, QObject *parent = nullptr);
    ~WindowsSingleInstance() override;

    // The name of the mutex and of the message window: the same for every
    // spelling of one folder (letter case, separators, a short name).
    static QString nameFor(const QString &dataRoot);

private:
    bool askRunningCopy() override;
    bool holdFolder() override;
    void listen() override;

    QString m_name;
    void *m_mutex = nullptr;
    void *m_window = nullptr;
};
