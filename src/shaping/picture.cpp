#include "shaping/picture.h"

#include "shaping/gif_decoder.h"

#include <QFile>

#include <algorithm>

namespace corvan {

namespace {

constexpr qint64 kReadPieceBytes = qint64{64} << 10;

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
    // Read at the file's own size, so that a small picture does not have
    // room for the largest one set aside (and given back) each time; what
    // a file without a size, or one that grew meanwhile, holds beyond it
    // comes in pieces, up to one byte past the limit.
    QByteArray data = file.read(file.isSequential() ? 0 : std::min(file.size(), kMaxPictureFileBytes + 1));
    while (data.size() <= kMaxPictureFileBytes) {
        const QByteArray more = file.read(std::min<qint64>(kReadPieceBytes, kMaxPictureFileBytes + 1 - data.size()));
        if (more.isEmpty())
            break;
        data += more;
    }
    if (data.size() > kMaxPictureFileBytes) {
        SetError(error, QStringLiteral("the file is too large for a picture"));
        return std::nullopt;
    }
    return DecodePicture(data, error);
}

}  // namespace corvan
