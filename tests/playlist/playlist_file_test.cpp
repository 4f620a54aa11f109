#include "paths.h"
#include "playlist/playlist_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace corvan {
namespace {

using namespace Qt::StringLiterals;

QByteArray ReadAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Lines as the window shows them.
QStringList Shown(const QList<QByteArray>& lines)
{
    QStringList shown;
    for (const QByteArray& line : lines)
        shown << FilePath::FromBytes(line).Text();
    return shown;
}

QList<QByteArray> Bytes(const QStringList& lines)
{
    QList<QByteArray> bytes;
    for (const QString& line : lines)
        bytes << line.toUtf8();
    return bytes;
}

QList<FilePath> Entries(const QStringList& lines)
{
    QList<FilePath> entries;
    for (const QString& line : lines)
        entries << FilePath::FromText(line);
    return entries;
}

FilePath Named(const QString& name)
{
    return FilePath::FromText(name);
}

QStringList Fed(QByteArrayView bytes, qsizetype piece)
{
    PlaylistReader reader;
    for (qsizetype i = 0; i < bytes.size(); i += piece)
        reader.Feed(bytes.sliced(i, std::min(piece, bytes.size() - i)));
    reader.Finish();
    return Shown(reader.TakeLines());
}

const QString kReplacement(QChar(0xFFFD));
const QString kMark(QChar(0xFEFF));

TEST(PlaylistReader, LineEndsMarksAndUnreadableBytes)
{
    const struct {
        const char* what;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"0 bytes", "", {}},
        {"one empty line", "\r\n", {u""_s}},
        {"CR LF", "a\r\nb\r\n", {u"a"_s, u"b"_s}},
        {"last line without its end", "a\r\nb", {u"a"_s, u"b"_s}},
        {"bare LF", "a\nb\n", {u"a"_s, u"b"_s}},
        {"bare CR", "a\rb\r", {u"a"_s, u"b"_s}},
        {"CR before CR LF", "a\r\r\nb", {u"a"_s, u""_s, u"b"_s}},
        {"LF before CR", "a\n\rb", {u"a"_s, u""_s, u"b"_s}},
        {"empty lines", "\r\n\r\n\n\r", {u""_s, u""_s, u""_s, u""_s}},
        {"text kept as it stands", " a, \"b\" ,c \t\r\n  \r\n", {u" a, \"b\" ,c \t"_s, u"  "_s}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "a\r\n",
         {u"a"_s}},
        {"nothing but the mark", "\xEF\xBB\xBF", {}},
        {"mark and an empty line", "\xEF\xBB\xBF\r\n", {u""_s}},
        {"mark later in the file", "x\r\n\xEF\xBB\xBFy", {u"x"_s, kMark + u"y"_s}},
        {"two marks",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "a",
         {kMark + u"a"_s}},
        {"UTF-8", "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\r\n", {u"été 日"_s}},
        {"invalid byte", "bad\xFF\r\nnext", {u"bad"_s + kReplacement, u"next"_s}},
        {"sequence cut by the line end",
         "cut\xE2\x82\r\nnext\xE2",
         {u"cut"_s + kReplacement + kReplacement, u"next"_s + kReplacement}},
        {"zero bytes", QByteArray("nul\0byte\r\n", 10), {u"nul"_s + QChar(0) + u"byte"_s}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(DecodePlaylist(c.bytes)), c.lines) << c.what;
        for (qsizetype piece : {1, 2, 3})
            EXPECT_EQ(Fed(c.bytes, piece), c.lines) << c.what << ", fed " << piece << " at a time";
        // The lines themselves are kept as bytes: written, they come back
        // byte for byte.
        const QList<QByteArray> read = DecodePlaylist(c.bytes);
        EXPECT_EQ(DecodePlaylist(EncodePlaylist(read)), read) << c.what << ", written and read back";
    }
}

TEST(PlaylistWriter, EveryLineEndsInCrLf)
{
    const struct {
        QStringList lines;
        QByteArray bytes;
    } cases[] = {
        {{}, ""},
        {{u""_s}, "\r\n"},
        {{u"a"_s, u"/m/été.mp3"_s}, "a\r\n/m/\xC3\xA9t\xC3\xA9.mp3\r\n"},
        // the reader takes one mark away, so a line of its own keeps its own
        {{kMark + u"x"_s, kMark}, "\xEF\xBB\xBF\xEF\xBB\xBFx\r\n\xEF\xBB\xBF\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodePlaylist(Bytes(c.lines)), c.bytes) << c.lines.join(u'|').toStdString();
}

TEST(PlaylistFile, SavedLinesLoadBackExactly)
{
    QTemporaryDir tmp;
    const FilePath name = Named(tmp.filePath(u"list.sic"_s));
    const QList<FilePath> lines = Entries({u"/music/a, b.mp3"_s, u" leading blank"_s, u"trailing blank "_s, u""_s,
                                           u"\"quoted\""_s, u"/music/a, b.mp3"_s, u"No matching files found"_s,
                                           u"日本"_s});
    ASSERT_TRUE(SaveList(lines, name));
    QList<FilePath> back{Named(u"stale"_s)};
    ASSERT_TRUE(LoadList(back, name));
    EXPECT_EQ(back, lines);

    ASSERT_TRUE(SaveList({}, name));
    EXPECT_EQ(QFileInfo(name.Text()).size(), 0);
    ASSERT_TRUE(LoadList(back, name));
    EXPECT_TRUE(back.isEmpty());
}

// Names that are not valid UTF-8 (a Latin-1 é, a lone byte, a cut
// sequence) are written as their bytes and read back as the same bytes.
TEST(PlaylistFile, NamesKeepTheirBytes)
{
    QTemporaryDir tmp;
    const QList<FilePath> names{FilePath::FromBytes("/m/caf\xe9 song.wav"), FilePath::FromBytes("/m/\xff.mp3"),
                                FilePath::FromBytes("/m/cut \xe2\x82.mp3"), Named(u"/m/été.mp3"_s)};
    for (const char* file : {"list.sic", "list.m3u8"}) {
        const FilePath name = Named(tmp.filePath(QString::fromLatin1(file)));
        ASSERT_TRUE(SaveList(names, name)) << file;
        QList<FilePath> back;
        ASSERT_TRUE(LoadList(back, name)) << file;
        EXPECT_EQ(back, names) << file;
    }
    EXPECT_EQ(ReadAll(tmp.filePath(u"list.sic"_s)),
              "/m/caf\xe9 song.wav\r\n/m/\xff.mp3\r\n/m/cut \xe2\x82.mp3\r\n/m/\xc3\xa9t\xc3\xa9.mp3\r\n");
    // M3U8 is UTF-8 throughout: those names go as escaped file URIs.
    EXPECT_EQ(ReadAll(tmp.filePath(u"list.m3u8"_s)),
              "#EXTM3U\nfile:///m/caf%E9%20song.wav\nfile:///m/%FF.mp3\nfile:///m/cut%20%E2%82.mp3\n"
              "/m/\xc3\xa9t\xc3\xa9.mp3\n");
}

// A line end inside a name would split the line, and blanks at its ends
// would be trimmed away: M3U8 writes such a name as a URI, the player's own
// format leaves a name with a line end out.
TEST(PlaylistFile, NamesHoldingLineEnds)
{
    QTemporaryDir tmp;
    const QList<FilePath> names{Named(u"/m/a.mp3"_s), FilePath::FromBytes("/m/two\nlines.mp3"), Named(u"/m/b.mp3"_s),
                                Named(u"/m/ends in a blank "_s)};
    const FilePath m3u8 = Named(tmp.filePath(u"x.m3u8"_s));
    ASSERT_TRUE(SaveList(names, m3u8));
    QList<FilePath> back;
    ASSERT_TRUE(LoadList(back, m3u8));
    EXPECT_EQ(back, names);
    const FilePath sic = Named(tmp.filePath(u"x.sic"_s));
    ASSERT_TRUE(SaveList(names, sic));
    ASSERT_TRUE(LoadList(back, sic));
    EXPECT_EQ(back, (QStringList{u"/m/a.mp3"_s, u"/m/b.mp3"_s, u"/m/ends in a blank "_s}));
}

TEST(PlaylistFile, OtherPlayersPlaylists)
{
    QTemporaryDir tmp;
    const QString here = tmp.path();
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList entries;
    } cases[] = {
        {"plain.m3u", "a.mp3\nsub/b.mp3\n/abs/c.mp3\n", {here + u"/a.mp3"_s, here + u"/sub/b.mp3"_s, u"/abs/c.mp3"_s}},
        {"extended.m3u8",
         "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:123,Artist - Title\r\nfile:///m/x%20y.mp3\r\n\r\n# note\r\n"
         "http://radio/stream\r\n",
         {u"/m/x y.mp3"_s, u"http://radio/stream"_s}},
        {"cr only.m3u", "one.wav\rtwo.wav", {here + u"/one.wav"_s, here + u"/two.wav"_s}},
        {"list.pls",
         "[playlist]\nFile2=two.mp3\nTitle2=Two\nFile1=file:///m/one.mp3\nFile10=/m/ten.mp3\nNumberOfEntries=3\n"
         "Version=2\n",
         {u"/m/one.mp3"_s, here + u"/two.mp3"_s, u"/m/ten.mp3"_s}},
        {"sniffed.txt", "#EXTM3U\nz.mp3\n", {here + u"/z.mp3"_s}},
        {"garbage.pls", QByteArray::fromRawData("\x00\xff=\nFile=\nFileX=y\nfile3=\n", 25), {}},
    };
    for (const auto& c : cases) {
        const QString name = tmp.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(WriteAll(name, c.bytes));
        QList<FilePath> entries;
        ASSERT_TRUE(LoadList(entries, Named(name))) << c.name;
        EXPECT_EQ(entries, c.entries) << c.name;
    }
}

TEST(PlaylistFile, LinesAcrossReadChunks)
{
    // The reader takes the file 64 KiB at a time: a CR LF and a character
    // split between two pieces must still read as one.
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"edge.sic"_s);
    const QByteArray first(65535, 'x');
    QByteArray second(65535, 'y');
    second.append("\xC3\xA9");  // é straddles the second boundary
    ASSERT_TRUE(WriteAll(name, first + "\r\n" + second + "\r\nlast"));
    QList<FilePath> lines;
    ASSERT_TRUE(LoadList(lines, Named(name)));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].Text(), QString(65535, u'x'));
    EXPECT_EQ(lines[1].Text(), QString(65535, u'y') + u"é"_s);
    EXPECT_EQ(lines[2].Text(), u"last"_s);
}

TEST(PlaylistFile, LargeAndGarbageFilesLoadAndSaveBack)
{
    QTemporaryDir tmp;
    QByteArray garbage(1 << 20, '\0');
    quint32 seed = 12345;
    for (char& b : garbage) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<char>(seed >> 24);
    }
    QByteArray million;
    for (int i = 0; i < 1'000'000; ++i)
        million += "/m/" + QByteArray::number(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    const struct {
        const char* what;
        QByteArray bytes;
        qsizetype lines;
    } cases[] = {
        {"one 10 MB line", QByteArray(10 * 1024 * 1024, 'z'), 1},
        {"a million lines", million, 1'000'000},
        {"binary garbage", garbage, -1},
    };
    for (const auto& c : cases) {
        const QString name = tmp.filePath(u"big.sic"_s);
        ASSERT_TRUE(WriteAll(name, c.bytes));
        QList<FilePath> loaded;
        ASSERT_TRUE(LoadList(loaded, Named(name))) << c.what;
        if (c.lines >= 0) {
            EXPECT_EQ(loaded.size(), c.lines) << c.what;
        }
        // Garbage bytes come back as the same bytes.
        const FilePath again = Named(tmp.filePath(u"again.sic"_s));
        ASSERT_TRUE(SaveList(loaded, again)) << c.what;
        QList<FilePath> reloaded;
        ASSERT_TRUE(LoadList(reloaded, again)) << c.what;
        EXPECT_TRUE(reloaded == loaded) << c.what;
    }
}

TEST(PlaylistFile, NamesThatCannotBeRead)
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath(u"pipe.sic"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    for (const QString& name : {QString(), tmp.filePath(u"missing.sic"_s), tmp.path(), fifo, u"/dev/zero"_s}) {
        QList<FilePath> lines{Named(u"old"_s)};
        QString reason;
        EXPECT_FALSE(LoadList(lines, Named(name), &reason)) << name.toStdString();
        EXPECT_TRUE(lines.isEmpty()) << name.toStdString();
        EXPECT_FALSE(reason.isEmpty()) << name.toStdString();
    }
}

TEST(PlaylistFile, NamesThatCannotBeWrittenWriteNothing)
{
    QTemporaryDir tmp;
    const QList<FilePath> lines{Named(u"a"_s)};
    EXPECT_FALSE(SaveList(lines, FilePath()));
    QString reason;
    EXPECT_FALSE(SaveList(lines, Named(tmp.filePath(u"no/such/folder/x.sic"_s)), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(SaveList(lines, Named(tmp.path())));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
}

TEST(PlaylistFile, SaveReplacesTheOldFileWholeKeepingItsMode)
{
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"list.sic"_s);
    ASSERT_TRUE(WriteAll(name, QByteArray(5000, 'o')));
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0640), 0);
    ASSERT_TRUE(SaveList({Named(u"new"_s)}, Named(name)));
    EXPECT_EQ(ReadAll(name), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"list.sic"_s});
}

TEST(PlaylistFile, FailedSaveLeavesTheOldFileAsItWas)
{
    // A file size limit makes the write fail part way, as a full disk would.
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"list.sic"_s);
    const QByteArray old = "old line\r\n";
    ASSERT_TRUE(WriteAll(name, old));
    QList<FilePath> lines;
    for (int i = 0; i < 100'000; ++i)
        lines << Named(u"/music/some folder/track %1.mp3"_s.arg(i));

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(SaveList(lines, Named(name)) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success";
    EXPECT_EQ(ReadAll(name), old);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"list.sic"_s});
}

}  // namespace
}  // namespace corvan
