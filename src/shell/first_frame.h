#pragma once

#include <cstdint>

class QWidget;

namespace corvan {

// The window's first picture is drawn once. Right after a window is first
// shown, the window system and Qt have it drawn again within milliseconds,
// with nothing changed:
// - the X server's exposure of the newly mapped window reaches Qt after Qt
//   has already painted the whole window on the map, and Qt copies the
//   whole window to the server a second time;
// - when the window manager then makes it the active window, Qt repaints
//   the item views (for a palette whose active and inactive colours differ)
//   and the button that takes the focus (for its focus frame).
// Those repeats are left out where they cannot change a pixel: an exposure
// the server made before it had the whole paint; and on the first
// activation, the repaint of an item view whose colours are the same active
// or not, and that of a button that draws no focus frame when it takes the
// focus (a picture button never does; Fusion's check and option boxes only
// once the keyboard has moved the focus). Call once `window` has been shown,
// before the event loop paints it.
void DrawFirstFrameOnce(QWidget& window);

// Whether an exposure the X server made after the program's request
// numbered `exposureSequence` was made before it received the request
// numbered `paintSequence` (numbers as they wrap around).
bool ExposureIsStale(std::uint32_t exposureSequence, std::uint32_t paintSequence);

}  // namespace corvan
