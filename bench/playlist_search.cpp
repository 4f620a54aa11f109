// "Find Media" over a tree of 5,000 folders and 50,000 files (20,000 of them
// .mp3 or .MP3), playlist filled and painted, beside `find -iname '*.mp3'`
// on the same tree; and Load List and Save List of a 100,000-line playlist
// beside `cat` and `cp` of the same file, all in the same run.
#include "offscreen_application.h"
#include "bench_summary.h"
#include "browser/dir_list_box.h"
#include "engine/media_engine.h"
#include "playlist/list1.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_commands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>

extern char** environ;

namespace {

constexpr int kFolders = 5000;
constexpr int kFilesPerFolder = 10;  // 4 of them mp3
constexpr int kMp3 = kFolders * 4;
constexpr int kPlaylistLines = 100'000;

QString tree;
QString playlist;

class NullEngine : public corvan::MediaEngine {
public:
    bool SetFileName(const corvan::FilePath& path) override { return !path.IsEmpty(); }
    corvan::FilePath FileName() const override { return {}; }
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    long Volume() const override { return 0; }
    bool SetVolume(long) override { return true; }
    int Balance() const override { return 0; }
    void SetBalance(int) override {}
    double CurrentPosition() const override { return 0; }
    bool SetCurrentPosition(double) override { return false; }
    double Duration() const override { return 0; }
    double Rate() const override { return 1; }
    bool SetRate(double) override { return true; }
    bool Mute() const override { return false; }
    void SetMute(bool) override {}
    std::optional<QString> ClipTitle() const override { return std::nullopt; }
    std::optional<QString> ClipAuthor() const override { return std::nullopt; }
};

// Folders breadth first, ten below each, until there are kFolders of them;
// each with ten files: mp3 in both cases, and other kinds beside them.
void MakeTree(const QString& root)
{
    const char* kinds[] = {"mp3", "MP3", "wav", "jpg", "mp3", "txt", "Mp3", "flac", "wma", "m3u"};
    std::deque<QString> open{root};
    int made = 0;
    std::vector<QString> folders;
    while (made < kFolders) {
        const QString parent = open.front();
        open.pop_front();
        for (int i = 0; i < 10 && made < kFolders; ++i, ++made) {
            const QString f = parent + QStringLiteral("/Album %1 – Disc %2").arg(made).arg(i);
            QDir().mkdir(f);
            open.push_back(f);
            folders.push_back(f);
        }
    }
    for (const QString& f : folders) {
        for (int i = 0; i < kFilesPerFolder; ++i)
            QFile(f + QStringLiteral("/%1 Track %2.%3").arg(i).arg(QChar(u'A' + i)).arg(QLatin1String(kinds[i])))
                .open(QIODevice::WriteOnly);
    }
}

bool RunTool(std::vector<const char*> argv)
{
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Window {
    Window()
    {
        list.resize(355, 288);
        list.show();
        dir.SetPath(corvan::FilePath::FromText(tree));
        combo.setEditable(true);
        combo.setEditText(QStringLiteral("*.MP3"));
    }
    QListWidget list;
    QLineEdit text;
    QLabel label1;
    QLabel label2;
    QComboBox combo;
    corvan::DirListBox dir;
    QWidget drive;
    QWidget file;
    NullEngine engine;
    corvan::PlaylistCommands commands{{&list, &text, &label1, &label2, &combo, &dir, &drive, &file}, engine, {}};
};

void FindReference(benchmark::State& state)
{
    const QByteArray root = QFile::encodeName(tree);
    for (auto _ : state) {
        if (!RunTool({"find", root.constData(), "-iname", "*.mp3"}))
            state.SkipWithError("find failed");
    }
}

void FindMedia(benchmark::State& state)
{
    Window w;
    w.label1.show();
    for (auto _ : state) {
        w.commands.FindMedia();
        QApplication::processEvents();  // the list lays out and paints its new lines
        if (w.list.count() != kMp3)
            state.SkipWithError("wrong count");
    }
}

void CatReference(benchmark::State& state)
{
    const QByteArray name = QFile::encodeName(playlist);
    for (auto _ : state) {
        if (!RunTool({"cat", name.constData()}))
            state.SkipWithError("cat failed");
    }
}

void CpReference(benchmark::State& state)
{
    const QByteArray from = QFile::encodeName(playlist);
    const QByteArray to = from + ".copy";
    for (auto _ : state) {
        if (!RunTool({"cp", from.constData(), to.constData()}))
            state.SkipWithError("cp failed");
    }
}

void LoadList(benchmark::State& state)
{
    Window w;
    for (auto _ : state) {
        corvan::LoadList(w.list, corvan::FilePath::FromText(playlist));
        QApplication::processEvents();
        if (w.list.count() != kPlaylistLines)
            state.SkipWithError("wrong count");
    }
}

void SaveList(benchmark::State& state)
{
    Window w;
    corvan::LoadList(w.list, corvan::FilePath::FromText(playlist));
    const auto to = corvan::FilePath::FromText(playlist + QStringLiteral(".saved"));
    for (auto _ : state) {
        if (!corvan::SaveList(w.list, to))
            state.SkipWithError("save failed");
    }
}

BENCHMARK(FindReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FindMedia)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(CatReference)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(LoadList)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(CpReference)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(SaveList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

bool CompareRatio(const corvan::bench::Collector& results, const char* what, const std::string& figure,
                  const char* referenceWhat, const std::string& reference, double budgetRatio)
{
    const auto f = results.seconds.find(figure);
    const auto r = results.seconds.find(reference);
    if (f == results.seconds.end() || r == results.seconds.end()) {
        std::printf("%-30s not measured in this run\n", what);
        return true;
    }
    const double ratio = f->second / r->second;
    const bool kept = ratio <= budgetRatio;
    std::printf("%-30s %12s | reference (%s) %12s | ratio %8.4f | budget ratio %.1f: %s\n", what,
                corvan::bench::Readable(f->second).c_str(), referenceWhat, corvan::bench::Readable(r->second).c_str(),
                ratio, budgetRatio, kept ? "kept" : "MISSED");
    return kept;
}

}  // namespace

int main(int argc, char** argv)
{
    corvan::bench::OffscreenApplication app(argv[0]);
    benchmark::Initialize(&argc, argv);

    // Making 55,000 files is slow on a disk; a memory file system keeps the
    // set-up short. Both sides of each comparison read the same files.
    QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/corvan-bench-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/corvan-bench-XXXXXX"));
    tree = dir.filePath(QStringLiteral("Music"));
    QDir().mkdir(tree);
    MakeTree(tree);
    playlist = dir.filePath(QStringLiteral("big.sic"));
    {
        QList<corvan::FilePath> lines;
        for (int i = 0; i < kPlaylistLines; ++i)
            lines << corvan::FilePath::FromText(
                tree + QStringLiteral("/Album %1 – Disc %2/%3 Track, \"%4\".mp3").arg(i).arg(i % 10).arg(i % 7).arg(i));
        corvan::SaveList(lines, corvan::FilePath::FromText(playlist));
    }

    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    bool kept = CompareRatio(results, "Find Media, playlist filled", "FindMedia/min_time:2.000", "find -iname",
                             "FindReference/min_time:2.000", 2.0);
    kept = corvan::bench::Compare(results, "Load List, 100,000 lines", "LoadList/min_time:2.000", "cat",
                                  "CatReference/min_time:1.000", 300e-3)
           && kept;
    kept = corvan::bench::Compare(results, "Save List, 100,000 lines", "SaveList/min_time:2.000", "cp",
                                  "CpReference/min_time:1.000", 200e-3)
           && kept;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the whole run: %ld MiB\n", usage.ru_maxrss / 1024);
    benchmark::Shutdown();
    return kept ? 0 : 1;
}
