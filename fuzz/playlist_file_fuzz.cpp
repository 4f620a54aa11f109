// The player's own playlist file on any bytes: it must not crash, must give
// the same lines whatever pieces the file arrives in, must agree with a
// plain byte-by-byte reading of the format, and what it reads must survive
// a save and a load byte for byte.
#include "playlist/playlist_file.h"
#include "require.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using corvan::fuzz::Require;

namespace {

// The format read the plain way: CR LF, a bare CR and a bare LF each end a
// line; a last line without an end is a line too; a UTF-8 byte-order mark
// at the very start is not part of the first line.
QList<QByteArray> PlainReading(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF", 3)))
        bytes = bytes.sliced(3);
    QList<QByteArray> lines;
    QByteArray line;
    bool open = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines << line;
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line.append(c);
            open = true;
        }
    }
    if (open)
        lines << line;
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> whole = corvan::DecodePlaylist(bytes);

    Require(whole == PlainReading(bytes));
    for (const QByteArray& line : whole)
        Require(!line.contains('\r') && !line.contains('\n'));

    // The same bytes in pieces whose sizes follow from the bytes themselves,
    // so that a CR LF or a UTF-8 sequence is often cut in two.
    corvan::PlaylistReader reader;
    std::uint32_t seed = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        seed = (seed ^ data[i]) * 16777619u;
    qsizetype at = 0;
    while (at < bytes.size()) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype piece = std::min<qsizetype>(bytes.size() - at, 1 + (seed >> 16) % 7);
        reader.Feed(bytes.sliced(at, piece));
        at += piece;
    }
    reader.Finish();
    Require(reader.TakeLines() == whole);

    // Save, then load: the same bytes, whatever they are.
    Require(corvan::DecodePlaylist(corvan::EncodePlaylist(whole)) == whole);
    return 0;
}
