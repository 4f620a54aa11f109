#include "shaping/picture.h"

#include "shaping/gif_decoder.h"

#include <QFile>

#include <cstddef>

namespace corvan {

namespace {

std::size_t ColourTableBytes(unsigned char flags)
{
    return (flags & 0x80) ? 3u * (std::size_t{1} << ((flags & 0x07) + 1)) : 0u;
}

// Steps over a chain of data sub-blocks ending with an empty one.
bool SkipSubBlocks(QByteArrayView data, qsizetype& pos)
{
    for (;;) {
        if (pos >= data.size())
            return false;
        const auto length = static_cast<unsigned char>(data[pos++]);
        if (length == 0)
            return true;
        pos += length;
    }
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

}  // namespace

bool IsCompleteGif(QByteArrayView data)
{
    if (data.size() < 13 || !(data.startsWith("GIF87a") || data.startsWith("GIF89a")))
        return false;
    qsizetype pos = 13 + static_cast<qsizetype>(ColourTableBytes(static_cast<unsigned char>(data[10])));
    bool sawImage = false;
    for (;;) {
        if (pos >= data.size())
            return false;
        switch (static_cast<unsigned char>(data[pos++])) {
        case 0x3B:  // trailer
            return sawImage;
        case 0x21:  // extension: label, then sub-blocks
            ++pos;
            if (!SkipSubBlocks(data, pos))
                return false;
            break;
        case 0x2C: {  // image descriptor, optional local colour table, LZW code size, data
            if (pos + 9 > data.size())
                return false;
            const auto flags = static_cast<unsigned char>(data[pos + 8]);
            pos += 9 + static_cast<qsizetype>(ColourTableBytes(flags)) + 1;
            if (!SkipSubBlocks(data, pos))
                return false;
            sawImage = true;
            break;
        }
        default:
            return false;
        }
    }
}

std::optional<QImage> DecodePicture(const QByteArray& data, QString* error)
{
    if (data.startsWith("GIF8") && !IsCompleteGif(data)) {
        SetError(error, QStringLiteral("the GIF data is damaged or cut off"));
        return std::nullopt;
    }
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
