#pragma once

#include "engine/file_path.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace corvan {

// The playlist file of this player (".sic"): plain text, one entry a line,
// every line ended by CR LF, no header and no count. An entry is written
// as the bytes it names a file by, so that a name that is not valid UTF-8
// comes back as the same file. Reading also takes a bare LF or a bare CR as
// a line end and skips a byte-order mark at the very start.

// Turns the bytes of a playlist file, given in pieces of any size, into
// its lines.
class PlaylistReader {
public:
    void Feed(QByteArrayView bytes);
    // The end of the file: a last line without a line end is a line too.
    void Finish();
    QList<QByteArray> TakeLines();

private:
    void endLine(QByteArrayView rest);

    QByteArray pending_;  // the start of a line that goes on in the next piece
    QList<QByteArray> lines_;
    bool afterCr_ = false;  // an LF right now belongs to the CR before it
    bool firstLine_ = true;
};

QList<QByteArray> DecodePlaylist(QByteArrayView bytes);
QByteArray EncodePlaylist(const QList<QByteArray>& lines);

// The playlists of other players, read as well: M3U and M3U8 (comments and
// "#EXT" lines skipped, relative paths taken from the playlist's folder,
// "file:" URIs unescaped to their bytes) and PLS ("FileN=" in the order of
// N). An entry that names no file that exists is kept as written.
enum class PlaylistFormat { Sic, M3u, Pls };
// By the name's ending (".m3u", ".m3u8", ".pls"; ".sic" and anything else
// is this player's own), or, for a name with none of them, by the first
// bytes (a "#EXTM3U" or "[playlist]" header).
PlaylistFormat FormatOf(const FilePath& file, QByteArrayView head);
QList<FilePath> ReadM3u(QByteArrayView bytes, const FilePath& folder);
QList<FilePath> ReadPls(QByteArrayView bytes, const FilePath& folder);
// M3U8, UTF-8 throughout: an entry that is not valid UTF-8, or holds a
// line end, is written as a "file:" URI with its bytes escaped.
QByteArray WriteM3u8(const QList<FilePath>& entries);

// Replaces `entries` with those of the file, in whichever format it is.
// False when the file cannot be opened (an empty name included; `entries`
// is then empty), is not a regular file, or fails while being read (the
// entries read so far stay); `reason` then says why.
bool LoadList(QList<FilePath>& entries, const FilePath& file, QString* reason = nullptr);

// Writes every entry to the file, replacing it whole: M3U8 when the name
// ends in ".m3u8" or ".m3u", this player's own format otherwise. The lines
// go to a new file beside it, which is renamed over the old one only once
// complete. False, the old file untouched and `reason` saying why, when
// that cannot be done. In the player's own format an entry holding a line
// end cannot be written: it is left out, with a warning in the log.
bool SaveList(const QList<FilePath>& entries, const FilePath& file, QString* reason = nullptr);

}  // namespace corvan
