// M3U and M3U8 playlists of other players on any bytes: no crash, no entry
// holding a line end, and what is read, written as M3U8 and read again, is
// the same entries byte for byte (every entry is absolute once read).
#include "playlist/playlist_file.h"
#include "require.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using corvan::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const corvan::FilePath folder = corvan::FilePath::FromBytes("/lists");
    const QList<corvan::FilePath> entries = corvan::ReadM3u(bytes, folder);
    QList<corvan::FilePath> paths;
    for (const corvan::FilePath& entry : entries) {
        Require(!entry.IsEmpty());
        Require(!entry.Bytes().contains('\r') && !entry.Bytes().contains('\n'));
        if (entry.IsAbsolute())
            paths << entry;
    }
    Require(corvan::ReadM3u(corvan::WriteM3u8(paths), folder) == paths);
    return 0;
}
