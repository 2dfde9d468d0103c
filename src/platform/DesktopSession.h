#pragma once

class QGuiApplication;

// How the program sits in the user's desktop session: which display
// server it talks to, and letting go of every window when the session ends.
namespace DesktopSession {

// Call before the application object exists. Under Wayland a program may
// not place its own windows, yet Main lives at a stored place: run through
// XWayland unless the user chose a Qt platform.
void preferX11();

// From the session manager's first word about the session's end on, every
// window accepts every close, so a log-off or shutdown is never held up.
void letWindowsGoAtSessionEnd(QGuiApplication &app);

} // namespace DesktopSession
