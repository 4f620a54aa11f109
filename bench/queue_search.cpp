// One keystroke of the queue search over 20,000 entries: the text written
// to the search box, the halving search, and the entry selected and scrolled
// into view. Beside it in the same run: the bare halving, and a scan from
// the top of the same names for the same keys (the reference).
#include "offscreen_application.h"
#include "bench_summary.h"
#include "browser/file_list_box.h"
#include "playlist/queue_search.h"
#include "playlist/queue_search_box.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

constexpr int kEntries = 20000;

QString queueFolder;
QStringList names;
// What a person types: the first letters of names spread over the queue,
// most of them far down, where a scan takes longest.
QStringList keys;

void MakeQueue(const QString& folder)
{
    for (int i = 0; i < kEntries; ++i) {
        const QString name = QStringLiteral("%1%2 Song %3.mp3").arg(QChar(u'A' + i % 26)).arg(i % 97).arg(i);
        QFile(folder + u'/' + name).open(QIODevice::WriteOnly);
    }
    for (int i = 0; i < 64; ++i)
        keys << QStringLiteral("%1%2 s").arg(QChar(u'Q' + i % 10)).arg((i * 13) % 97);
}

int LinearFirst(const QString& key)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].startsWith(key, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void LinearScan(benchmark::State& state)
{
    qsizetype k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(LinearFirst(keys[k++ % keys.size()]));
}

void Halving(benchmark::State& state)
{
    qsizetype k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(corvan::FindQueueEntry(names, keys[k++ % keys.size()]));
}

void Keystroke(benchmark::State& state)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* text1 = new QLineEdit(&window);
    auto* file1 = new corvan::FileListBox(&window);
    layout->addWidget(text1);
    layout->addWidget(file1);
    window.resize(360, 320);
    window.show();
    text1->setFocus();
    file1->SetPath(corvan::FilePath::FromText(queueFolder));
    if (file1->ListCount() != kEntries)
        state.SkipWithError("queue not listed");
    corvan::QueueSearch search(text1, file1);
    QApplication::processEvents();

    qsizetype k = 0;
    for (auto _ : state) {
        text1->setText(keys[k++ % keys.size()]);
        if (file1->ListIndex() < 0)
            state.SkipWithError("nothing found");
    }
    QApplication::processEvents();
}

BENCHMARK(LinearScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(Halving)->Unit(benchmark::kMicrosecond);
BENCHMARK(Keystroke)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    corvan::bench::OffscreenApplication app(argv[0]);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    queueFolder = dir.path();
    MakeQueue(queueFolder);
    for (const corvan::FilePath& name :
         corvan::ListMatchingFiles(corvan::FilePath::FromText(queueFolder),
                                   corvan::PatternList(corvan::FileListBox::MediaPattern()))
             .value_or(QList<corvan::FilePath>()))
        names << name.Text();

    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    bool kept = corvan::bench::Compare(results, "keystroke, 20,000 entries", "Keystroke", "linear scan", "LinearScan",
                                       1e-3);
    kept = corvan::bench::Compare(results, "halving alone", "Halving", "linear scan", "LinearScan", 1e-3) && kept;
    benchmark::Shutdown();
    return kept ? 0 : 1;
}
