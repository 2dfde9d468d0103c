#include "Platform.h"

#include <QWidget>

Platform::~Platform() = default;

void Platform::bringToFront(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
