#pragma once

class QWidget;

namespace corvan {

// Shows `window` and sees that the window system shows it too. A window
// manager that is itself still starting (a session that starts the player
// at login) can lose the request to map a new window: openbox drops those
// that arrive while it takes over the screen, and nothing asks again, so
// the window never appears. Until the window is exposed, the request is
// sent again every `retryMs`, up to `tries` times; a request for a window
// that is already mapped changes nothing.
void ShowOnScreen(QWidget& window, int retryMs = 200, int tries = 50);

}  // namespace corvan
