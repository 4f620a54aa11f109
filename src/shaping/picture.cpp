#include "shaping/picture.h"

#include "shaping/gif_decoder.h"

#include <QFile>

namespace corvan {

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

}  // namespace

std::optional<QImage> DecodePicture(const QByteArray& data, QString* error)
{
    if (data.startsWith("GIF8"))
        return DecodeGif(data, error);
    QImage picture = QImage::fromData(data);
    if (picture.isNull()) {
        SetError(error, QStringLiteral("the data is not a picture that can be read"));
        return std::nullopt;
    }
    return picture;
}

std::optional<QImage> LoadPicture(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.exists()) {
        SetError(error, QStringLiteral("the file does not exist"));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxPictureFileBytes) {
        SetError(error, QStringLiteral("the file is too large for a picture"));
        return std::nullopt;
    }
    const QByteArray data = file.read(kMaxPictureFileBytes + 1);
    if (data.size() > kMaxPictureFileBytes) {
        SetError(error, QStringLiteral("the file is too large for a picture"));
        return std::nullopt;
    }
    return DecodePicture(data, error);
}

}  // namespace corvan
