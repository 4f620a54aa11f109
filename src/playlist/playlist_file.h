#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

namespace corvan {

// The playlist file: plain text in the locale's encoding, one entry a line,
// every line ended by CR LF, no header and no count. Reading also takes a
// bare LF or a bare CR as a line end, skips a byte-order mark at the very
// start, and keeps bytes the encoding cannot read as replacement characters.

// Turns the bytes of a playlist file, given in pieces of any size, into
// its entries.
class PlaylistReader {
public:
    PlaylistReader();

    void Feed(QByteArrayView bytes);
    // The end of the file: a last line without a line end is an entry too.
    void Finish();
    QStringList TakeLines();

private:
    void endLine(QByteArrayView rest);

    QStringDecoder decoder_;
    QByteArray pending_;  // the start of a line that goes on in the next piece
    QStringList lines_;
    bool afterCr_ = false;  // an LF right now belongs to the CR before it
    bool firstLine_ = true;
};

QStringList DecodePlaylist(QByteArrayView bytes);
QByteArray EncodePlaylist(const QStringList& lines);

// Replaces `lines` with the entries of the file. False when the file cannot
// be opened (an empty name included; `lines` is then empty), is not a
// regular file, or fails while being read (the entries read so far stay).
bool LoadList(QStringList& lines, const QString& fileName);

// Writes every line to the file, replacing it whole: the lines go to a new
// file beside it, which is renamed over the old one only once complete.
// False, and the old file untouched, when that cannot be done.
bool SaveList(const QStringList& lines, const QString& fileName);

}  // namespace corvan
