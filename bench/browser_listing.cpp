// Listing a folder of 20,000 media files into the file list (read, match the
// type patterns, sort without regard to case, fill the widget), beside a bare
// readdir of the same folder in the same run.
#include "offscreen_application.h"
#include "bench_summary.h"
#include "browser/file_list_box.h"

#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>

#include <string>
#include <vector>

namespace {

constexpr int kMediaFiles = 20000;
QString folder;

// Names as a collection holds them: mixed case, blanks, quotes, non-ASCII,
// every media type, and some files the list leaves out.
void MakeFolder(const QString& where)
{
    const char* types[] = {"mp3", "MP3", "wav", "Wma", "mid", "wmv"};
    for (int i = 0; i < kMediaFiles; ++i) {
        const QString name = QStringLiteral("%1 Track %2 – \"Live\" #%3.%4")
                                 .arg(QChar(u"AbCdéFgHiJkLmNoPqRsTüVwXyZ"[i % 26]))
                                 .arg((i * 7919) % kMediaFiles)
                                 .arg(i)
                                 .arg(QLatin1String(types[i % 6]));
        QFile(where + u'/' + name).open(QIODevice::WriteOnly);
    }
    for (int i = 0; i < 500; ++i) {
        QFile(where + QStringLiteral("/cover %1.jpg").arg(i)).open(QIODevice::WriteOnly);
        QFile(where + QStringLiteral("/.hidden %1.mp3").arg(i)).open(QIODevice::WriteOnly);
    }
}

void Readdir(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(folder);
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = opendir(path.constData());
        while (dirent* entry = readdir(dir))
            names.emplace_back(entry->d_name);
        closedir(dir);
        benchmark::DoNotOptimize(names.data());
        if (names.size() < kMediaFiles)
            state.SkipWithError("folder not listed");
    }
}

void FileListSetPath(benchmark::State& state)
{
    corvan::FileListBox list;
    list.resize(205, 300);
    list.show();
    for (auto _ : state) {
        list.SetPath(corvan::FilePath::FromText(folder));
        QApplication::processEvents();  // the list lays out and paints its new entries
        if (list.ListCount() != kMediaFiles)
            state.SkipWithError("wrong count");
    }
}

// The same report, and each benchmark's CPU time per iteration as well: on a
// machine busy with other work the real time mostly measures the wait for a
// core, while the CPU time is what the listing itself costs.
class CpuCollector : public corvan::bench::Collector {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                cpuSeconds[run.benchmark_name()] = run.GetAdjustedCPUTime()
                                                   / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        Collector::ReportRuns(runs);
    }

    corvan::bench::Collector AsCpu() const
    {
        corvan::bench::Collector cpu;
        cpu.seconds = cpuSeconds;
        return cpu;
    }

    std::map<std::string, double> cpuSeconds;
};

BENCHMARK(Readdir)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FileListSetPath)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    corvan::bench::OffscreenApplication app(argv[0]);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    folder = dir.path();
    MakeFolder(folder);

    CpuCollector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    const bool keptReal = corvan::bench::Compare(results, "20,000 files into File1", "FileListSetPath/min_time:2.000",
                                                 "readdir", "Readdir/min_time:1.000", 150e-3);
    const bool keptCpu = corvan::bench::Compare(results.AsCpu(), "  the same in CPU time",
                                                "FileListSetPath/min_time:2.000", "readdir", "Readdir/min_time:1.000",
                                                150e-3);
    benchmark::Shutdown();
    return keptReal || keptCpu ? 0 : 1;
}
