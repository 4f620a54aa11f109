#include "playlist/playlist_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <functional>
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

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

// Every line is decoded on its own, so a broken sequence at the end of one
// line turns into a replacement character there instead of swallowing the
// start of the next; and a U+FEFF at the start of a line is kept as text:
// only the mark at the start of the file is taken away, by hand.
PlaylistReader::PlaylistReader()
    : decoder_(QStringConverter::System, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
{
}

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
    lines_.append(decoder_.decode(line));
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

QStringList PlaylistReader::TakeLines()
{
    return std::exchange(lines_, {});
}

QStringList DecodePlaylist(QByteArrayView bytes)
{
    PlaylistReader reader;
    reader.Feed(bytes);
    reader.Finish();
    return reader.TakeLines();
}

// Hands the encoded lines to `sink` in pieces of about kWriteChunk bytes;
// false as soon as the sink refuses one.
bool EncodeLines(const QStringList& lines, const std::function<bool(const QByteArray&)>& sink)
{
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QByteArray buffer;
    buffer.reserve(kWriteChunk + 4096);
    // A first entry that itself begins with U+FEFF would lose it to the
    // reader, which takes a mark at the start of the file away: a mark of
    // our own in front keeps it.
    if (!lines.isEmpty() && lines.front().startsWith(QChar(0xFEFF)))
        buffer.append(kByteOrderMark);
    for (const QString& line : lines) {
        buffer.append(encoder.encode(line));
        buffer.append("\r\n", 2);
        if (buffer.size() >= kWriteChunk) {
            if (!sink(buffer))
                return false;
            buffer.resize(0);
        }
    }
    return buffer.isEmpty() || sink(buffer);
}

QByteArray EncodePlaylist(const QStringList& lines)
{
    QByteArray out;
    EncodeLines(lines, [&out](const QByteArray& piece) {
        out.append(piece);
        return true;
    });
    return out;
}

bool LoadList(QStringList& lines, const QString& fileName)
{
    lines.clear();
    const QByteArray native = QFile::encodeName(fileName);
    if (native.isEmpty())
        return false;
    // Non-blocking, so that a named pipe given as the file cannot stall the
    // window; only regular files are read, so that a device such as
    // /dev/zero cannot fill the memory.
    FdCloser file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return false;
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;

    PlaylistReader reader;
    std::unique_ptr<char[]> chunk(new char[kReadChunk]);
    for (;;) {
        const ssize_t got = ::read(file.fd, chunk.get(), kReadChunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            lines = reader.TakeLines();
            return false;
        }
        if (got == 0)
            break;
        reader.Feed(QByteArrayView(chunk.get(), got));
    }
    reader.Finish();
    lines = reader.TakeLines();
    return true;
}

bool SaveList(const QStringList& lines, const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!EncodeLines(lines, [&file](const QByteArray& piece) { return file.write(piece) == piece.size(); })) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace corvan
