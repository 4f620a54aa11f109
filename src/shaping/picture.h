#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace corvan {

// Larger picture files are refused before they are read.
inline constexpr qint64 kMaxPictureFileBytes = qint64{64} << 20;

// Decodes a picture file's bytes; nullopt, with a reason in *error, when they
// are not a complete picture.
std::optional<QImage> DecodePicture(const QByteArray& data, QString* error = nullptr);

// Reads and decodes a picture file; nullopt, with a reason in *error, when it
// is missing, unreadable, too large or not a complete picture.
std::optional<QImage> LoadPicture(const QString& path, QString* error = nullptr);

}  // namespace corvan
