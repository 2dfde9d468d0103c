#pragma once

#include "SystemStart.h"

#include <QObject>

// One running copy per data folder: two copies would overwrite each other's
// memo files. The first start holds the folder and answers later starts,
// which ask it to bring Main up and go away. How a copy holds a folder and
// how it is asked differ by system.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    using Outcome = SystemStart::Outcome;

    // Writes and takes nothing unless this copy is the first.
    Outcome claim();

signals:
    // A later start asked for Main.
    void showRequested();

protected:
    // `patienceMs`: how long to wait for a copy that holds the folder but
    // does not answer yet (it may be just starting).
    SingleInstance(int patienceMs, QObject *parent);

private:
    // Asks the copy that holds the folder to bring Main up: true once it
    // has said it will.
    virtual bool askRunningCopy() = 0;
    // False while another copy holds the folder. True once this copy holds
    // it, and also where the system lets no copy hold it: this copy then
    // runs all the same, and later starts still find it by asking.
    virtual bool holdFolder() = 0;
    // Answers later starts from now on.
    virtual void listen() = 0;

    int m_patienceMs;
};
