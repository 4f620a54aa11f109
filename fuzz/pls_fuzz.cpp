// PLS playlists on any bytes: no crash, at most one entry for each FileN=,
// none empty and none holding a line end.
#include "playlist/playlist_file.h"
#include "require.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using corvan::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<corvan::FilePath> entries = corvan::ReadPls(bytes, corvan::FilePath::FromBytes("/lists"));
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    Require(entries.size() <= lines);
    for (const corvan::FilePath& entry : entries) {
        Require(!entry.IsEmpty());
        Require(!entry.Bytes().contains('\r') && !entry.Bytes().contains('\n'));
    }
    return 0;
}
