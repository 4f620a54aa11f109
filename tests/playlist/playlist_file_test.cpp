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

QStringList Fed(QByteArrayView bytes, qsizetype piece)
{
    PlaylistReader reader;
    for (qsizetype i = 0; i < bytes.size(); i += piece)
        reader.Feed(bytes.sliced(i, std::min(piece, bytes.size() - i)));
    reader.Finish();
    return reader.TakeLines();
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
        {"byte-order mark", "\xEF\xBB\xBF" "a\r\n", {u"a"_s}},
        {"nothing but the mark", "\xEF\xBB\xBF", {}},
        {"mark and an empty line", "\xEF\xBB\xBF\r\n", {u""_s}},
        {"mark later in the file", "x\r\n\xEF\xBB\xBFy", {u"x"_s, kMark + u"y"_s}},
        {"two marks", "\xEF\xBB\xBF\xEF\xBB\xBF" "a", {kMark + u"a"_s}},
        {"UTF-8", "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\r\n", {u"été 日"_s}},
        {"invalid byte", "bad\xFF\r\nnext", {u"bad"_s + kReplacement, u"next"_s}},
        {"sequence cut by the line end", "cut\xE2\x82\r\nnext\xE2", {u"cut"_s + kReplacement + kReplacement, u"next"_s + kReplacement}},
        {"zero bytes", QByteArray("nul\0byte\r\n", 10), {u"nul"_s + QChar(0) + u"byte"_s}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodePlaylist(c.bytes), c.lines) << c.what;
        for (qsizetype piece : {1, 2, 3})
            EXPECT_EQ(Fed(c.bytes, piece), c.lines) << c.what << ", fed " << piece << " at a time";
        EXPECT_EQ(DecodePlaylist(EncodePlaylist(c.lines)), c.lines) << c.what << ", written and read back";
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
        EXPECT_EQ(EncodePlaylist(c.lines), c.bytes) << c.lines.join(u'|').toStdString();
}

TEST(PlaylistFile, SavedLinesLoadBackExactly)
{
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"list.sic"_s);
    const QStringList lines{u"/music/a, b.mp3"_s, u" leading blank"_s, u"trailing blank "_s, u""_s,
                            u"\"quoted\""_s, u"/music/a, b.mp3"_s, u"No matching files found"_s, u"日本"_s};
    ASSERT_TRUE(SaveList(lines, name));
    QStringList back{u"stale"_s};
    ASSERT_TRUE(LoadList(back, name));
    EXPECT_EQ(back, lines);

    ASSERT_TRUE(SaveList({}, name));
    EXPECT_EQ(QFileInfo(name).size(), 0);
    ASSERT_TRUE(LoadList(back, name));
    EXPECT_TRUE(back.isEmpty());
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
    QStringList lines;
    ASSERT_TRUE(LoadList(lines, name));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QString(65535, u'x'));
    EXPECT_EQ(lines[1], QString(65535, u'y') + u"é"_s);
    EXPECT_EQ(lines[2], u"last"_s);
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
        QStringList loaded;
        ASSERT_TRUE(LoadList(loaded, name)) << c.what;
        if (c.lines >= 0) {
            EXPECT_EQ(loaded.size(), c.lines) << c.what;
        }
        const QString again = tmp.filePath(u"again.sic"_s);
        ASSERT_TRUE(SaveList(loaded, again)) << c.what;
        QStringList reloaded;
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
        QStringList lines{u"old"_s};
        EXPECT_FALSE(LoadList(lines, name)) << name.toStdString();
        EXPECT_TRUE(lines.isEmpty()) << name.toStdString();
    }
}

TEST(PlaylistFile, NamesThatCannotBeWrittenWriteNothing)
{
    QTemporaryDir tmp;
    const QStringList lines{u"a"_s};
    EXPECT_FALSE(SaveList(lines, QString()));
    EXPECT_FALSE(SaveList(lines, tmp.filePath(u"no/such/folder/x.sic"_s)));
    EXPECT_FALSE(SaveList(lines, tmp.path()));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
}

TEST(PlaylistFile, SaveReplacesTheOldFileWholeKeepingItsMode)
{
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"list.sic"_s);
    ASSERT_TRUE(WriteAll(name, QByteArray(5000, 'o')));
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0640), 0);
    ASSERT_TRUE(SaveList({u"new"_s}, name));
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
    QStringList lines;
    for (int i = 0; i < 100'000; ++i)
        lines << u"/music/some folder/track %1.mp3"_s.arg(i);

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(SaveList(lines, name) ? 1 : 0);
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
