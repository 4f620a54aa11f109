#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace corvan {

// Where a window of `window`'s size goes so that it lies wholly inside
// `available`: at its own place when it fits there, else moved along each
// side just as far as needed; a window larger than the area keeps its
// top-left corner in it.
QPoint FitOnScreen(const QRect& window, const QRect& available);

// Shows `window`, at its place unless that would put part of it off the
// screen it opens on (see FitOnScreen), and sees that the window system shows it too. A window
// manager that is itself still starting (a session that starts the player
// at login) can lose the request to map a new window: openbox drops those
// that arrive while it takes over the screen, and nothing asks again, so
// the window never appears. Until the window is exposed, the request is
// sent again every `retryMs`, up to `tries` times; a request for a window
// that is already mapped changes nothing.
void ShowOnScreen(QWidget& window, int retryMs = 200, int tries = 50);

}  // namespace corvan
