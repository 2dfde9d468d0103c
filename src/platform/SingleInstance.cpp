#include "SingleInstance.h"

#include <QElapsedTimer>
#include <QThread>

SingleInstance::SingleInstance(int patienceMs, QObject *parent)
    : QObject(parent)
    , m_patienceMs(patienceMs)
{
}

SingleInstance::Outcome SingleInstance::claim()
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (askRunningCopy())
            return Outcome::Handed;
        if (holdFolder()) {
            listen();
            return Outcome::First;
        }
        if (waited.elapsed() >= m_patienceMs)
            return Outcome::Unreachable;
        QThread::msleep(100);
    }
}
