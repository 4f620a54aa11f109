#include "engine/file_path.h"

#include <QUrl>
#include <QUtf8StringView>

#include <unistd.h>

#include <cerrno>
#include <memory>

namespace corvan {

namespace {

// What a URI may hold of a path unescaped (RFC 3986 unreserved, and "/").
const QByteArray kUnescaped = QByteArrayLiteral("/-._~");

QByteArray CurrentFolder()
{
    for (std::size_t size = 4096; size <= 1 << 20; size *= 2) {
        std::unique_ptr<char[]> buffer(new char[size]);
        if (::getcwd(buffer.get(), size))
            return QByteArray(buffer.get());
        if (errno != ERANGE)
            break;
    }
    return QByteArrayLiteral("/");
}

}  // namespace

FilePath FilePath::FromUri(const QByteArray& uri)
{
    const QUrl url = QUrl::fromEncoded(uri, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"file" || (!url.host().isEmpty() && url.host() != u"localhost"))
        return {};
    // The path as written in the URI, escapes and all, then unescaped to
    // bytes: QUrl's own decoding would give text, and lose what is not UTF-8.
    return FromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString FilePath::Text() const
{
    QString text = QString::fromUtf8(bytes_);
    // The decoder takes a byte-order mark at the start for a mark, not a
    // character; in a name it is a character.
    if (bytes_.startsWith("\xEF\xBB\xBF") && !text.startsWith(QChar(0xFEFF)))
        text.prepend(QChar(0xFEFF));
    return text;
}

bool FilePath::TextIsExact() const
{
    return QUtf8StringView(bytes_).isValidUtf8();
}

FilePath FilePath::Join(const FilePath& name) const
{
    QByteArray joined = bytes_;
    joined.append('/');
    joined.append(name.bytes_);
    return FilePath(std::move(joined));
}

FilePath FilePath::Name() const
{
    const qsizetype slash = bytes_.lastIndexOf('/');
    return FilePath(slash < 0 ? bytes_ : bytes_.mid(slash + 1));
}

FilePath FilePath::Folder() const
{
    const qsizetype slash = bytes_.lastIndexOf('/');
    if (slash < 0)
        return {};
    return FilePath(slash == 0 ? QByteArrayLiteral("/") : bytes_.left(slash));
}

FilePath FilePath::Absolute() const
{
    if (bytes_.isEmpty())
        return {};
    const QByteArray full = IsAbsolute() ? bytes_ : CurrentFolder() + '/' + bytes_;
    QByteArray clean;
    clean.reserve(full.size());
    for (const QByteArray& part : full.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        clean.append('/');
        clean.append(part);
    }
    return FilePath(clean.isEmpty() ? QByteArrayLiteral("/") : clean);
}

QByteArray FilePath::Uri() const
{
    // An absolute path as it stands, so that the URI gives back the same
    // bytes; a relative one from the current folder.
    const QByteArray& path = IsAbsolute() ? bytes_ : Absolute().bytes_;
    return QByteArrayLiteral("file://") + path.toPercentEncoding(kUnescaped);
}

}  // namespace corvan
