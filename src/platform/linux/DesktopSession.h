#pragma once

// How the program sits in the user's desktop session: which display
// server it talks to, and how the system's signals end it.
namespace DesktopSession {

// Call before the application object exists. Under Wayland a program may
// not place its own windows, yet Main lives at a stored place: run through
// XWayland unless the user chose a Qt platform.
void preferX11();

// SIGTERM, SIGHUP and SIGINT end the run as the session's end does (see
// LinuxSessionWatch), so that a log-off without a session manager loses
// nothing.
void quitOnTermination();

} // namespace DesktopSession
