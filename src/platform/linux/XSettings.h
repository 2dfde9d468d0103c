#pragma once

#include <QByteArray>
#include <QString>

// The desktop's settings as its settings manager publishes them (the
// freedesktop.org XSettings specification), read from another program's
// bytes: nothing in them is trusted.
namespace XSettings {

// A string setting out of an _XSETTINGS_SETTINGS property; empty when the
// property holds no such setting or is cut short.
QString string(const QByteArray &property, const QByteArray &name);

} // namespace XSettings
