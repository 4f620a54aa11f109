#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <optional>

namespace corvan {

// Larger picture files are refused before they are read.
inline constexpr qint64 kMaxPictureFileBytes = qint64{64} << 20;

// True when the data is a GIF whose blocks run whole up to its trailer. The
// GIF reader decodes a cut-off file without complaint and fills the missing
// rows with black, which would give a window a wrong outline.
bool IsCompleteGif(QByteArrayView data);

// Decodes a picture file's bytes; nullopt, with a reason in *error, when they
// are not a complete picture.
std::optional<QImage> DecodePicture(const QByteArray& data, QString* error = nullptr);

// Reads and decodes a picture file; nullopt, with a reason in *error, when it
// is missing, unreadable, too large or not a complete picture.
std::optional<QImage> LoadPicture(const QString& path, QString* error = nullptr);

}  // namespace corvan
