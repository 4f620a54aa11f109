#pragma once

class QWidget;

namespace corvan {

// Loads the faces of the texts that the shown `window` shows, and their
// glyphs, by drawing each text once out of sight. Called right after the
// window is shown: while the window manager takes the window in, the
// program would only wait for its first exposure, and the first paint then
// finds the font engines and the glyph cache ready instead of filling them
// itself. Nothing of the window changes.
void LoadFacesAhead(const QWidget& window);

}  // namespace corvan
