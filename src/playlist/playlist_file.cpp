#include "playlist/playlist_file.h"

#include "playlist/playlist_log.h"

#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvan {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF", 3);
constexpr qsizetype kReadChunk = 64 * 1024;
constexpr qsizetype kWriteChunk = 1024 * 1024;

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool HoldsLineEnd(const QByteArray& bytes)
{
    return bytes.contains('\r') || bytes.contains('\n');
}

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool EndsWith(const QByteArray& name, const char* ending)
{
    return name.toLower().endsWith(ending);
}

// An entry of another player's playlist: a "file:" URI as the bytes it
// names, a relative path from the playlist's folder, anything else as
// written.
FilePath EntryOf(QByteArray value, const FilePath& folder)
{
    if (value.startsWith("file:")) {
        const FilePath path = FilePath::FromUri(value);
        return path.IsEmpty() ? FilePath::FromBytes(std::move(value)) : path;
    }
    // Another scheme ("http:", ...) names no file here; kept as written.
    const qsizetype colon = value.indexOf(':');
    const bool scheme = colon > 1 && std::all_of(value.begin(), value.begin() + colon, [](char c) {
                            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                                   || c == '+' || c == '-' || c == '.';
                        });
    if (value.startsWith('/') || scheme || folder.IsEmpty())
        return FilePath::FromBytes(std::move(value));
    return folder.Join(FilePath::FromBytes(std::move(value)));
}

QByteArray Trimmed(const QByteArray& line)
{
    return line.trimmed();
}

}  // namespace

// The lines are kept as bytes: only the mark at the very start of the file
// is taken away.
void PlaylistReader::Feed(QByteArrayView bytes)
{
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        if (afterCr_) {
            afterCr_ = false;
            if (bytes[i] == '\n') {
                ++i;
                continue;
            }
        }
        const char* begin = bytes.data() + i;
        const char* end = std::find_if(begin, bytes.data() + n, IsLineEnd);
        if (end == bytes.data() + n) {
            pending_.append(begin, end - begin);
            return;
        }
        endLine(QByteArrayView(begin, end - begin));
        afterCr_ = *end == '\r';
        i = end - bytes.data() + 1;
    }
}

void PlaylistReader::endLine(QByteArrayView rest)
{
    QByteArrayView line = rest;
    if (!pending_.isEmpty()) {
        pending_.append(rest);
        line = pending_;
    }
    if (firstLine_) {
        firstLine_ = false;
        if (line.startsWith(kByteOrderMark))
            line = line.sliced(kByteOrderMark.size());
    }
    lines_.append(line.toByteArray());
    pending_.clear();
}

void PlaylistReader::Finish()
{
    afterCr_ = false;
    if (pending_.isEmpty())
        return;
    // A file holding nothing but the mark is an empty file.
    if (firstLine_ && QByteArrayView(pending_) == kByteOrderMark) {
        pending_.clear();
        return;
    }
    endLine({});
}

QList<QByteArray> PlaylistReader::TakeLines()
{
    return std::exchange(lines_, {});
}

QList<QByteArray> DecodePlaylist(QByteArrayView bytes)
{
    PlaylistReader reader;
    reader.Feed(bytes);
    reader.Finish();
    return reader.TakeLines();
}

// Hands the lines, each ended by CR LF, to `sink` in pieces of about
// kWriteChunk bytes; false as soon as the sink refuses one.
static bool EncodeLines(const QList<QByteArray>& lines, const std::function<bool(const QByteArray&)>& sink)
{
    QByteArray buffer;
    buffer.reserve(kWriteChunk + 4096);
    // A first entry that itself begins with the mark would lose it to the
    // reader, which takes a mark at the start of the file away: a mark of
    // our own in front keeps it.
    if (!lines.isEmpty() && lines.front().startsWith(kByteOrderMark))
        buffer.append(kByteOrderMark);
    for (const QByteArray& line : lines) {
        buffer.append(line);
        buffer.append("\r\n", 2);
        if (buffer.size() >= kWriteChunk) {
            if (!sink(buffer))
                return false;
            buffer.resize(0);
        }
    }
    return buffer.isEmpty() || sink(buffer);
}

QByteArray EncodePlaylist(const QList<QByteArray>& lines)
{
    QByteArray out;
    EncodeLines(lines, [&out](const QByteArray& piece) {
        out.append(piece);
        return true;
    });
    return out;
}

PlaylistFormat FormatOf(const FilePath& file, QByteArrayView head)
{
    const QByteArray name = file.Name().Bytes();
    if (EndsWith(name, ".sic"))
        return PlaylistFormat::Sic;
    if (EndsWith(name, ".m3u") || EndsWith(name, ".m3u8"))
        return PlaylistFormat::M3u;
    if (EndsWith(name, ".pls"))
        return PlaylistFormat::Pls;
    if (head.startsWith(kByteOrderMark))
        head = head.sliced(kByteOrderMark.size());
    if (head.startsWith("#EXTM3U"))
        return PlaylistFormat::M3u;
    if (head.toByteArray().trimmed().toLower().startsWith("[playlist]"))
        return PlaylistFormat::Pls;
    return PlaylistFormat::Sic;
}

QList<FilePath> ReadM3u(QByteArrayView bytes, const FilePath& folder)
{
    QList<FilePath> entries;
    for (const QByteArray& line : DecodePlaylist(bytes)) {
        const QByteArray value = Trimmed(line);
        if (value.isEmpty() || value.startsWith('#'))
            continue;
        entries.append(EntryOf(value, folder));
    }
    return entries;
}

QList<FilePath> ReadPls(QByteArrayView bytes, const FilePath& folder)
{
    std::map<long long, QByteArray> files;
    for (const QByteArray& line : DecodePlaylist(bytes)) {
        const QByteArray entry = Trimmed(line);
        const qsizetype equals = entry.indexOf('=');
        if (equals < 0 || !entry.toLower().startsWith("file"))
            continue;
        bool number = false;
        const long long n = entry.mid(4, equals - 4).trimmed().toLongLong(&number);
        const QByteArray value = entry.mid(equals + 1).trimmed();
        if (number && !value.isEmpty())
            files.insert_or_assign(n, value);
    }
    QList<FilePath> entries;
    for (auto& [n, value] : files)
        entries.append(EntryOf(std::move(value), folder));
    return entries;
}

QByteArray WriteM3u8(const QList<FilePath>& entries)
{
    QByteArray out = "#EXTM3U\n";
    for (const FilePath& entry : entries) {
        const QByteArray& bytes = entry.Bytes();
        // Written as a URI whenever the plain line would not read back as
        // the same bytes: a line end, a leading '#', bytes that are not
        // UTF-8, or blanks at either end that the reader trims.
        const bool plain = !HoldsLineEnd(bytes) && !bytes.startsWith('#') && bytes.trimmed() == bytes
                           && QString::fromUtf8(bytes).toUtf8() == bytes;
        out.append(plain ? bytes : entry.Uri());
        out.append('\n');
    }
    return out;
}

bool LoadList(QList<FilePath>& entries, const FilePath& file, QString* reason)
{
    entries.clear();
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (file.IsEmpty())
        return fail(QStringLiteral("No file was named."));
    // Non-blocking, so that a named pipe given as the file cannot stall the
    // window; only regular files are read, so that a device such as
    // /dev/zero cannot fill the memory.
    FdCloser fd{::open(file.Bytes().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (fd.fd < 0)
        return fail(ErrorText(errno));
    struct stat st {};
    if (::fstat(fd.fd, &st) != 0)
        return fail(ErrorText(errno));
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("It is not a file."));

    PlaylistReader reader;
    QByteArray whole;  // other players' playlists are read whole
    std::unique_ptr<char[]> chunk(new char[kReadChunk]);
    bool first = true;
    PlaylistFormat format = PlaylistFormat::Sic;
    bool failed = false;
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(fd.fd, chunk.get(), kReadChunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            failed = true;
            error = errno;
            break;
        }
        if (got == 0)
            break;
        const QByteArrayView piece(chunk.get(), got);
        if (first) {
            format = FormatOf(file, piece);
            first = false;
        }
        if (format == PlaylistFormat::Sic)
            reader.Feed(piece);
        else
            whole.append(piece);
    }
    const FilePath folder = file.Absolute().Folder();
    switch (format) {
    case PlaylistFormat::Sic:
        if (!failed)
            reader.Finish();
        for (QByteArray& line : reader.TakeLines())
            entries.append(FilePath::FromBytes(std::move(line)));
        break;
    case PlaylistFormat::M3u:
        entries = ReadM3u(whole, folder);
        break;
    case PlaylistFormat::Pls:
        entries = ReadPls(whole, folder);
        break;
    }
    return failed ? fail(ErrorText(error)) : true;
}

bool SaveList(const QList<FilePath>& entries, const FilePath& file, QString* reason)
{
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (file.IsEmpty())
        return fail(QStringLiteral("No file was named."));
    // The atomic write takes a name as text; a name that is not valid UTF-8
    // would name another file.
    if (file.Text().toUtf8() != file.Bytes())
        return fail(QStringLiteral("The name of the file is not valid UTF-8."));
    QSaveFile out(file.Text());
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    const auto sink = [&out](const QByteArray& piece) { return out.write(piece) == piece.size(); };
    const QByteArray name = file.Name().Bytes();
    bool written = false;
    if (EndsWith(name, ".m3u8") || EndsWith(name, ".m3u")) {
        written = sink(WriteM3u8(entries));
    } else {
        QList<QByteArray> lines;
        lines.reserve(entries.size());
        for (const FilePath& entry : entries) {
            if (HoldsLineEnd(entry.Bytes())) {
                qCWarning(lcPlaylist) << "left out of" << file.Text() << "a name holding a line end:" << entry.Text();
                continue;
            }
            lines.append(entry.Bytes());
        }
        written = EncodeLines(lines, sink);
    }
    // The last lines may still wait in the file's buffer, and commit() puts
    // the new file in place even when writing them out fails (the disk
    // full, the file too large): they are written out here, and a failure
    // leaves the old file where it is.
    errno = 0;
    if (!written || !out.flush()) {
        // A write cut short is reported without its cause; the system's
        // last word names it ("File too large", "No space left on device").
        const int cause = errno;
        const QString why = out.error() == QFileDevice::WriteError && cause != 0
                                ? QString::fromLocal8Bit(std::strerror(cause))
                                : out.errorString();
        out.cancelWriting();
        return fail(why);
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

}  // namespace corvan
