#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <optional>

namespace corvan {

// Pictures wider or taller than this are refused unread.
inline constexpr int kMaxGifSide = 8192;

// Decodes the first picture of a GIF file (87a or 89a) into an image of the
// file's screen size, pixel for pixel as Qt's GIF reader does: RGB32, or
// ARGB32 when that picture marks a colour transparent; that colour keeps its
// red, green and blue under a clear alpha. Where the picture does not cover
// the screen the image is of the screen's background colour (black without
// a table), or of the transparent colour; where its data ends early, of the
// same, or black (clear) when the picture covers the screen. Nothing, with a
// reason in *error, when the data is not a GIF, is cut off before its first
// picture or holds codes that no encoder writes.
//
// Plain code with no loader behind it: safe on any thread, also before the
// application object exists.
std::optional<QImage> DecodeGif(QByteArrayView data, QString* error = nullptr);

}  // namespace corvan
