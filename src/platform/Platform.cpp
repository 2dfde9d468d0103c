#include "Platform.h"

Platform::~Platform() = default;

QString Platform::title()
{
    return QStringLiteral("ポトラ");
}

void Platform::trayEvent(TrayEvent event)
{
    if (event == TrayEvent::LeftPress)
        emit trayLeftPressed();
}
