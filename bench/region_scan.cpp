// The window outline of the skin picture: the scan of its pixels and the
// outline handed to the window as a mask, against Qt's own way of making a
// mask from a colour and a plain copy of the pixel buffer.
#include "bench_summary.h"
#include "shaping/picture.h"
#include "shaping/region.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace {

QImage g_skin;

void ScanPicture(benchmark::State& state)
{
    for (auto _ : state) {
        corvan::Region region;
        std::int32_t key = corvan::kBottomLeftKey;
        region.ScanPicture(g_skin, key);
        benchmark::DoNotOptimize(region.Outline().Runs().data());
    }
}
BENCHMARK(ScanPicture)->Unit(benchmark::kMicrosecond);

// Its two halves: the picture copied into the pixel buffer, and the runs
// found in the buffer.
void PictureIntoPixelBuffer(benchmark::State& state)
{
    for (auto _ : state) {
        corvan::cDIBSection dib;
        dib.CreateFromPicture(g_skin);
        benchmark::DoNotOptimize(dib.DIBSectionBitsPtr());
    }
}
BENCHMARK(PictureIntoPixelBuffer)->Unit(benchmark::kMicrosecond);

void ScanPixelRows(benchmark::State& state)
{
    corvan::cDIBSection dib;
    dib.CreateFromPicture(g_skin);
    const std::span<const std::uint8_t> bits(dib.DIBSectionBitsPtr(), dib.ByteCount());
    for (auto _ : state) {
        std::int32_t key = corvan::kBottomLeftKey;
        benchmark::DoNotOptimize(corvan::ScanPixelRows(bits, dib.Width(), dib.Height(), key));
    }
}
BENCHMARK(ScanPixelRows)->Unit(benchmark::kMicrosecond);

// What start-up does: scan, frame offset, and the mask handed to the window.
void OutlineApplied(benchmark::State& state)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(g_skin.size());
    for (auto _ : state) {
        corvan::Region region;
        std::int32_t key = corvan::kBottomLeftKey;
        region.ScanPicture(g_skin, key);
        region.OffsetHeader(window);
        region.ApplyRgn(&window);
        state.PauseTiming();
        window.clearMask();  // setMask does nothing when handed the mask in force
        state.ResumeTiming();
    }
}
BENCHMARK(OutlineApplied)->Unit(benchmark::kMicrosecond);

// The three ways of turning the scanned runs into a QRegion, for the skin
// (about one run a row) and for a lace of the skin's size with a hole every
// six pixels, whose outline has some 12,000 runs.
QImage g_lace;

corvan::PixelRegion Outline(const QImage& picture)
{
    corvan::Region region;
    std::int32_t key = corvan::kBottomLeftKey;
    region.ScanPicture(picture, key);
    return region.Outline();
}

const QImage& PictureFor(const benchmark::State& state)
{
    return state.range(0) == 0 ? g_skin : g_lace;
}

void ToQRegionBanded(benchmark::State& state)
{
    const corvan::PixelRegion outline = Outline(PictureFor(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(outline.ToQRegion());
    state.counters["runs"] = static_cast<double>(outline.Runs().size());
    state.counters["rects"] = static_cast<double>(outline.ToQRegion().rectCount());
}
BENCHMARK(ToQRegionBanded)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void ToQRegionOneRectPerRun(benchmark::State& state)
{
    const corvan::PixelRegion outline = Outline(PictureFor(state));
    for (auto _ : state) {
        std::vector<QRect> rects;
        rects.reserve(outline.Runs().size());
        for (const corvan::PixelRect& run : outline.Runs())
            rects.emplace_back(run.left, run.top, run.right - run.left, 1);
        QRegion region;
        region.setRects(rects.data(), static_cast<int>(rects.size()));
        benchmark::DoNotOptimize(region);
    }
    state.counters["rects"] = static_cast<double>(outline.Runs().size());
}
BENCHMARK(ToQRegionOneRectPerRun)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void ToQRegionUnitedRunByRun(benchmark::State& state)
{
    const corvan::PixelRegion outline = Outline(PictureFor(state));
    for (auto _ : state) {
        QRegion region;
        for (const corvan::PixelRect& run : outline.Runs())
            region += QRect(run.left, run.top, run.right - run.left, 1);
        benchmark::DoNotOptimize(region);
    }
}
BENCHMARK(ToQRegionUnitedRunByRun)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// References.
void QtMaskFromColour(benchmark::State& state)
{
    const QRgb key = g_skin.pixel(0, g_skin.height() - 1);
    for (auto _ : state) {
        const QRegion region(QBitmap::fromImage(g_skin.createMaskFromColor(key, Qt::MaskOutColor)));
        benchmark::DoNotOptimize(region);
    }
}
BENCHMARK(QtMaskFromColour)->Unit(benchmark::kMicrosecond);

void CopyPixelBuffer(benchmark::State& state)
{
    corvan::cDIBSection dib;
    dib.CreateFromPicture(g_skin);
    std::vector<std::uint8_t> copy(dib.ByteCount());
    for (auto _ : state) {
        std::memcpy(copy.data(), dib.DIBSectionBitsPtr(), dib.ByteCount());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyPixelBuffer)->Unit(benchmark::kMicrosecond);

void DecodeSkinFile(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(corvan::LoadPicture(QStringLiteral(CORVAN_ASSETS_DIR "/new2.gif")));
}
BENCHMARK(DecodeSkinFile)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // Masks and bitmaps need a GUI application; no screen is needed.
    std::vector<char*> args(argv, argv + argc);
    char platformFlag[] = "-platform";
    char platformName[] = "offscreen";
    args.insert(args.begin() + 1, {platformFlag, platformName});
    int qtArgc = static_cast<int>(args.size());
    QApplication app(qtArgc, args.data());

    const std::optional<QImage> skin = corvan::LoadPicture(QStringLiteral(CORVAN_ASSETS_DIR "/new2.gif"));
    if (!skin) {
        std::fprintf(stderr, "cannot read the skin picture in %s\n", CORVAN_ASSETS_DIR);
        return 1;
    }
    g_skin = *skin;
    g_lace = QImage(g_skin.size(), QImage::Format_RGB32);
    g_lace.fill(qRgb(40, 40, 40));
    for (int y = 0; y < g_lace.height(); ++y)
        for (int x = 0; x < g_lace.width(); ++x)
            if ((x % 6 < 2 && y % 6 < 2) || (x == 0 && y == g_lace.height() - 1))
                g_lace.setPixel(x, y, qRgb(255, 0, 255));
    std::printf("skin picture %d x %d\n", g_skin.width(), g_skin.height());

    int benchArgc = qtArgc;
    benchmark::Initialize(&benchArgc, args.data());
    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    benchmark::Shutdown();

    std::printf("\n");
    bool kept = corvan::bench::Compare(results, "outline of the skin applied", "OutlineApplied", "Qt mask from colour",
                                       "QtMaskFromColour", 2e-3);
    corvan::bench::Compare(results, "scan of the skin", "ScanPicture", "copy of its pixel buffer", "CopyPixelBuffer",
                           2e-3);
    corvan::bench::Compare(results, "skin runs to QRegion, banded", "ToQRegionBanded/0", "united run by run",
                           "ToQRegionUnitedRunByRun/0", 2e-3);
    corvan::bench::Compare(results, "lace runs to QRegion, banded", "ToQRegionBanded/1", "united run by run",
                           "ToQRegionUnitedRunByRun/1", 2e-3);
    return kept ? 0 : 1;
}
