#pragma once

#include <functional>

class QWidget;

namespace corvan {

// Runs `then` once, as soon as the shown `window` is first on the screen: the
// window system has mapped it and the picture Qt painted for it has been
// handed over. It runs on a later turn of the event loop, not inside that
// exposure. A window that is not exposed within `fallbackMs` (a window
// system that never exposes it, a window that was not shown) runs it then
// all the same.
void AfterExposed(QWidget& window, std::function<void()> then, int fallbackMs = 250);

}  // namespace corvan
