#pragma once

#include <QDBusConnection>

namespace corvan {

class Form2;

// The window among the desktop's tools: its remote control (MPRIS) and the
// player's own interface on the session bus, offered once the window is on
// the screen; files and folders dropped on it; and no suspend for idleness
// while it plays. Buses that are not connected are simply not used.
void AttachToDesktop(Form2& form, QDBusConnection session);

}  // namespace corvan
