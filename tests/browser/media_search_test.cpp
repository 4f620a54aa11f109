#include "browser/media_search.h"
#include "paths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Readable failure output for Qt's strings.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace corvan {
namespace {

using test::P;

using namespace Qt::StringLiterals;

// A scratch folder, removed byte by byte afterwards: QDir cannot remove
// names the locale's encoding cannot read. Large trees go to memory when
// the system has a memory file system, as making files on disk is slow.
class Scratch {
public:
    explicit Scratch(bool large = false)
    {
        QByteArray templ = (large && QDir(u"/dev/shm"_s).exists() ? "/dev/shm" : "/tmp") + QByteArray("/corvan-XXXXXX");
        if (::mkdtemp(templ.data()))
            path_ = QFile::decodeName(templ);
    }
    ~Scratch()
    {
        if (path_.isEmpty())
            return;
        ::nftw(
            QFile::encodeName(path_).constData(),
            [](const char* p, const struct stat*, int type, FTW*) {
                (type == FTW_DP ? ::rmdir(p) : ::unlink(p));
                return 0;
            },
            32, FTW_DEPTH | FTW_PHYS);
    }
    QString path() const { return path_; }

private:
    QString path_;
};

// Creates each entry below `root`: names ending in "/" are folders, the
// others empty files; missing parents are made on the way. Raw bytes, so
// names the locale's encoding cannot read can be made too.
void Make(const QString& root, const std::vector<QByteArray>& entries)
{
    const QByteArray base = QFile::encodeName(root) + '/';
    for (const QByteArray& e : entries) {
        const QByteArray path = base + e;
        for (qsizetype i = base.size(); i < path.size(); ++i) {
            if (path[i] == '/')
                ::mkdir(path.left(i).constData(), 0755);
        }
        if (!e.endsWith('/')) {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0) << path.constData();
            ::close(fd);
        }
    }
}

void Link(const QString& target, const QString& linkPath)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(linkPath).constData()), 0);
}

struct Search {
    MediaSearchResult result;
    QStringList progress;
};

Search Searched(const QString& start, const QString& pattern, int limit = kSearchCountLimit)
{
    Search s;
    s.result = FindFiles(
        P(start), pattern, [&s](const QString& t) { s.progress << t; }, limit);
    return s;
}

// The results as folder -> names, keeping the order of the folders; the
// names of one folder come in the file system's order, so they are a set.
std::vector<std::pair<QString, std::set<QString>>> ByFolder(const QStringList& files)
{
    std::vector<std::pair<QString, std::set<QString>>> out;
    for (const QString& f : files) {
        const qsizetype slash = f.lastIndexOf(u'/');
        const QString folder = f.left(slash + 1);
        if (out.empty() || out.back().first != folder)
            out.push_back({folder, {}});
        out.back().second.insert(f.mid(slash + 1));
    }
    return out;
}

// The reference order: the plain exchange scheme, n times n comparisons,
// swapping whenever entry i < entry j. The search must give the same order
// with its faster sort.
QStringList ExchangeSorted(QStringList t)
{
    for (qsizetype i = 0; i < t.size(); ++i)
        for (qsizetype j = 0; j < t.size(); ++j)
            if (t[i] < t[j])
                std::swap(t[i], t[j]);
    return t;
}

TEST(MediaSearch, FoldersInOrdinalOrderEachWithItsMatchingFiles)
{
    Scratch tmp;
    const QString root = tmp.path();
    Make(root, {"top.mp3", "notes.txt", "B/b1.MP3", "B/b2.Mp3", "a/a1.mp3", "a/x/deep.mp3", "a b/sp.mp3",
                "a-b/dash.mp3", "a0/zero.mp3", "c/d/e/f/g/leaf.mp3", "c/d/song.mp3.txt", "c/d/mp3", "empty/", "Z/",
                "z/", "\xc3\xa9t\xc3\xa9/accent.mp3"});

    const Search s = Searched(root, u"*.mp3"_s);

    const QString r = root + u'/';
    const QStringList folders{r,
                              r + u"B/"_s,
                              r + u"Z/"_s,
                              r + u"a/"_s,
                              r + u"a/x/"_s,
                              r + u"a b/"_s,
                              r + u"a-b/"_s,
                              r + u"a0/"_s,
                              r + u"c/"_s,
                              r + u"c/d/"_s,
                              r + u"c/d/e/"_s,
                              r + u"c/d/e/f/"_s,
                              r + u"c/d/e/f/g/"_s,
                              r + u"empty/"_s,
                              r + u"z/"_s,
                              r + u"été/"_s};
    QStringList expectedProgress{u"Building directory tree..."_s};
    for (const QString& f : ExchangeSorted(folders))
        expectedProgress << u"Checking "_s + f;
    expectedProgress << QString();
    EXPECT_EQ(s.progress, expectedProgress);

    using Group = std::pair<QString, std::set<QString>>;
    const std::vector<Group> expected{
        {r, {u"top.mp3"_s}},
        {r + u"B/"_s, {u"b1.MP3"_s, u"b2.Mp3"_s}},
        {r + u"a/"_s, {u"a1.mp3"_s}},
        {r + u"a/x/"_s, {u"deep.mp3"_s}},
        {r + u"a b/"_s, {u"sp.mp3"_s}},
        {r + u"a-b/"_s, {u"dash.mp3"_s}},
        {r + u"a0/"_s, {u"zero.mp3"_s}},
        {r + u"c/d/e/f/g/"_s, {u"leaf.mp3"_s}},
        {r + u"été/"_s, {u"accent.mp3"_s}},
    };
    std::vector<Group> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());  // ordinal, like the search
    EXPECT_EQ(ByFolder(Texts(s.result.files)), sortedExpected);
    EXPECT_EQ(s.result.count, 10);
}

TEST(MediaSearch, StartFolderKeepsItsCaseAndGetsOneSlash)
{
    Scratch tmp;
    Make(tmp.path(), {"Mixed Case/Song.mp3", "Mixed Case/sub/Other.MP3"});
    const QString start = tmp.path() + u"/Mixed Case"_s;
    for (const QString& given : {start, start + u'/'}) {
        const Search s = Searched(given, u"*.MP3"_s);
        EXPECT_EQ(Texts(s.result.files), (QStringList{start + u"/Song.mp3"_s, start + u"/sub/Other.MP3"_s}))
            << given.toStdString();
    }
}

TEST(MediaSearch, HiddenFoldersAreNotEnteredAndHiddenFilesNotFound)
{
    Scratch tmp;
    Make(tmp.path(),
         {".hidden/inside.mp3", ".hidden/open/deeper.mp3", ".song.mp3", "shown/.secret.mp3", "shown/visible.mp3"});
    const Search s = Searched(tmp.path(), u"*"_s);
    EXPECT_EQ(Texts(s.result.files), QStringList{tmp.path() + u"/shown/visible.mp3"_s});
}

TEST(MediaSearch, LinksAreFollowedButNoFolderIsEnteredTwice)
{
    Scratch tmp;
    const QString root = tmp.path();
    Make(root, {"a/real.mp3", "a/b/inner.mp3", "c/"});
    Link(u".."_s, root + u"/a/b/up"_s);          // loops back to a
    Link(u"."_s, root + u"/a/self"_s);           // loops onto itself
    Link(root, root + u"/c/root"_s);             // back to the start
    Link(root + u"/a"_s, root + u"/c/again"_s);  // a second way into a
    Link(u"real.mp3"_s, root + u"/a/alias.mp3"_s);
    Link(u"nowhere.mp3"_s, root + u"/a/dangling.mp3"_s);

    const Search s = Searched(root, u"*.mp3"_s);

    const QStringList files = Texts(s.result.files);
    EXPECT_EQ(files.size(), 3) << files.join(u'\n').toStdString();
    EXPECT_EQ(files.filter(u"real.mp3"_s).size(), 1);
    EXPECT_EQ(files.filter(u"inner.mp3"_s).size(), 1);
    EXPECT_TRUE(files.contains(root + u"/a/alias.mp3"_s)) << "a link to a file is a file";
}

TEST(MediaSearch, CountsGoPastSixteenBits)
{
    Scratch tmp(true);
    const QByteArray base = QFile::encodeName(tmp.path());
    constexpr int kFiles = 32800;
    ASSERT_EQ(::mkdir((base + "/more").constData(), 0755), 0);
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray name = base + (i % 2 ? "/more/" : "/") + QByteArray::number(i) + ".mp3";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const Search s = Searched(tmp.path(), u"*.MP3"_s);
    EXPECT_EQ(s.result.count, kFiles);
    EXPECT_EQ(Texts(s.result.files).size(), kFiles);
}

TEST(MediaSearch, NamesWithOddCharactersAreFoundAsTheyAre)
{
    Scratch tmp;
    Make(tmp.path(),
         {"new\nline.mp3", "back\\slash.mp3", "star*.mp3", "what?.mp3", " lead.mp3", "trail .mp3", "tab\t.mp3",
          "quote\"'.mp3", "semi;colon,comma.mp3", "\xe6\x97\xa5\xe6\x9c\xac.mp3", "bad\xff\xfe.mp3",
          "bad\xc0"
          "folder/in.mp3",
          "<b>bold</b>/x.mp3", "%s%n.mp3"});
    const Search s = Searched(tmp.path(), u"*.mp3"_s);
    const QString r = tmp.path() + u'/';
    for (const QString& name : {u"new\nline.mp3"_s, u"back\\slash.mp3"_s, u"star*.mp3"_s, u"what?.mp3"_s,
                                u" lead.mp3"_s, u"trail .mp3"_s, u"tab\t.mp3"_s, u"quote\"'.mp3"_s,
                                u"semi;colon,comma.mp3"_s, u"日本.mp3"_s, u"<b>bold</b>/x.mp3"_s, u"%s%n.mp3"_s})
        EXPECT_TRUE(Texts(s.result.files).contains(r + name)) << name.toStdString();
    // Names that are not UTF-8 are still walked and found, as their bytes.
    EXPECT_EQ(s.result.count, 14);
    const QByteArray root = tmp.path().toUtf8() + '/';
    EXPECT_TRUE(s.result.files.contains(FilePath::FromBytes(root + "bad\xff\xfe.mp3")));
    EXPECT_TRUE(s.result.files.contains(FilePath::FromBytes(root
                                                            + "bad\xc0"
                                                              "folder/in.mp3")));
}

TEST(MediaSearch, StartFoldersThatCannotBeSearched)
{
    Scratch tmp;
    Make(tmp.path(), {"file.mp3", "dir/x.mp3", "dir/y.mp3"});
    const QString building = u"Building directory tree..."_s;
    const struct {
        const char* what;
        QString start;
        QString pattern;
        int count;
        QStringList progress;
        int limit = kSearchCountLimit;
    } cases[] = {
        {"missing", tmp.path() + u"/gone"_s, u"*.mp3"_s, -1, {}},
        {"empty name", QString(), u"*.mp3"_s, -1, {}},
        {"a file",
         tmp.path() + u"/file.mp3"_s,
         u"*.mp3"_s,
         0,
         {building, u"Checking "_s + tmp.path() + u"/file.mp3/"_s, QString()}},
        {"through a file",
         tmp.path() + u"/file.mp3/sub"_s,
         u"*.mp3"_s,
         0,
         {building, u"Checking "_s + tmp.path() + u"/file.mp3/sub/"_s, QString()}},
        {"pattern with a slash",
         tmp.path(),
         u"dir/*.mp3"_s,
         -kBadFileName,
         {building, u"Checking "_s + tmp.path() + u"/"_s}},
        {"pattern with a zero",
         tmp.path(),
         u"a"_s + QChar(0) + u"b"_s,
         -kBadFileName,
         {building, u"Checking "_s + tmp.path() + u"/"_s}},
        {"empty pattern", tmp.path(), QString(), 0, {building, QString()}},
        {"blank pattern", tmp.path(), u" ; "_s, 0, {building, QString()}},
        {"too many files", tmp.path(), u"*"_s, -kOverflow, {building}, 2},
        {"too many folders", tmp.path(), u"*"_s, -kOverflow, {building}, 1},
    };
    for (const auto& c : cases) {
        const Search s = Searched(c.start, c.pattern, c.limit);
        EXPECT_EQ(s.result.count, c.count) << c.what;
        EXPECT_TRUE(Texts(s.result.files).isEmpty()) << c.what;
        EXPECT_EQ(s.progress, c.progress) << c.what;
    }
}

TEST(MediaSearch, OnlyMinusOneAndMinusTwoReadAsInvalidPath)
{
    EXPECT_EQ(SearchFailureMessage(-1), u"Invalid Path!"_s);
    EXPECT_EQ(SearchFailureMessage(-2), u"Invalid Path!"_s);
    EXPECT_EQ(SearchFailureMessage(-kOverflow), u"Overflow"_s);
    EXPECT_EQ(SearchFailureMessage(-kPermissionDenied), u"Permission denied"_s);
}

// Runs `work` in a child process without root's rights (root reads any
// folder whatever its mode bits say) and hands back what it wrote.
std::optional<QByteArray> AsUnprivileged(const std::function<QByteArray()>& work)
{
    if (::geteuid() != 0)
        return work();
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const QByteArray out = work();
        const bool ok = ::write(fds[1], out.constData(), out.size()) == out.size();
        ::_exit(ok ? 0 : 3);
    }
    ::close(fds[1]);
    QByteArray out;
    char buf[4096];
    pollfd p{fds[0], POLLIN, 0};
    while (::poll(&p, 1, 20000) > 0) {
        const ssize_t got = ::read(fds[0], buf, sizeof buf);
        if (got <= 0)
            break;
        out.append(buf, got);
    }
    ::close(fds[0]);
    ::kill(pid, SIGKILL);  // harmless once it has ended; ends it if it hangs
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

QByteArray Describe(const MediaSearchResult& r)
{
    QStringList lines{QString::number(r.count)};
    lines += Texts(r.files);
    return lines.join(u'\n').toUtf8();
}

TEST(MediaSearch, FoldersThatCannotBeListedAreSkipped)
{
    Scratch tmp;
    const QString root = tmp.path();
    ASSERT_EQ(::chmod(QFile::encodeName(root).constData(), 0755), 0);
    Make(root, {"a/locked/hidden.mp3", "a/open.mp3", "b/also.mp3", "z/last.mp3"});
    ASSERT_EQ(::chmod(QFile::encodeName(root + u"/a/locked"_s).constData(), 0), 0);
    Make(root, {"shut/in.mp3"});
    ASSERT_EQ(::chmod(QFile::encodeName(root + u"/shut"_s).constData(), 0), 0);

    const auto below = AsUnprivileged([&] { return Describe(FindFiles(P(root), u"*.mp3"_s)); });
    const auto start = AsUnprivileged([&] { return Describe(FindFiles(P(root + u"/shut"_s), u"*.mp3"_s)); });
    ::chmod(QFile::encodeName(root + u"/a/locked"_s).constData(), 0755);
    ::chmod(QFile::encodeName(root + u"/shut"_s).constData(), 0755);

    ASSERT_TRUE(below && start) << "the unprivileged child failed";
    const QStringList expected{u"3"_s, root + u"/a/open.mp3"_s, root + u"/b/also.mp3"_s, root + u"/z/last.mp3"_s};
    EXPECT_EQ(QString::fromUtf8(*below), expected.join(u'\n'));
    EXPECT_EQ(QString::fromUtf8(*start), QString::number(-kPermissionDenied));
}

}  // namespace
}  // namespace corvan
