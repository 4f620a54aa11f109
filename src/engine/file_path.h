#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace corvan {

// A path as the file system has it. Linux names files by bytes, and a name
// need not be valid UTF-8 (a collection copied with its Latin-1 names); the
// bytes are kept from the moment a path is read until a file is opened,
// saved in a playlist or handed on, and the text is only for showing: a
// byte that does not decode shows as the replacement character, and is
// never turned back into a path from that text.
class FilePath {
public:
    FilePath() = default;
    // A path read from the file system, a playlist file, the command line.
    static FilePath FromBytes(QByteArray bytes) { return FilePath(std::move(bytes)); }
    // A path a person typed or chose as text (a text box, a file dialog).
    static FilePath FromText(const QString& text) { return FilePath(text.toUtf8()); }
    // The path a `file:` URI names, its escaped bytes restored; empty for
    // another scheme or a host other than this machine.
    static FilePath FromUri(const QByteArray& uri);

    const QByteArray& Bytes() const { return bytes_; }
    // As shown in the window.
    QString Text() const;
    bool IsEmpty() const { return bytes_.isEmpty(); }
    // Whether Text() gives the bytes back (they are valid UTF-8), so that
    // the text alone can stand for the path.
    bool TextIsExact() const;

    // "folder" + "/" + "name"; at the root "/" this gives "//name".
    FilePath Join(const FilePath& name) const;
    // The last part, after the last "/".
    FilePath Name() const;
    // Without the last part; "/" for a part at the root.
    FilePath Folder() const;
    bool IsAbsolute() const { return bytes_.startsWith('/'); }
    // Absolute (against the process's current folder), with "." parts and
    // repeated "/" taken out; ".." parts are left to the file system.
    FilePath Absolute() const;
    // The `file:` URI, every byte that is not plainly safe escaped; a
    // relative path is taken from the process's current folder.
    QByteArray Uri() const;

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    explicit FilePath(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
    }

    QByteArray bytes_;
};

}  // namespace corvan

Q_DECLARE_METATYPE(corvan::FilePath)
