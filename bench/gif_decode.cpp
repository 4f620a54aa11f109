// The skin and the button pictures decoded by the player's own GIF decoder
// and by Qt's GIF reader: the time of a cold first decode in a fresh process
// (Qt's includes finding and loading its image plugin), the time of a warm
// decode, and whether the two give the same pixels and so the same outline.
//
//   gif_decode            runs the comparison (fresh processes for the cold figures)
//   gif_decode cold WHO   one cold decode of every picture; WHO is "ours" or "qt"
#include "shaping/gif_decoder.h"
#include "shaping/pixel_region.h"
#include "shaping/region.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<QByteArray> Pictures()
{
    std::vector<QByteArray> out;
    QFile skin(QStringLiteral(CORVAN_ASSETS_DIR "/new2.gif"));
    if (skin.open(QIODevice::ReadOnly))
        out.push_back(skin.readAll());
    const QDir buttons(QStringLiteral(CORVAN_ASSETS_DIR "/buttons"));
    for (const QString& name : buttons.entryList({QStringLiteral("*.gif")}, QDir::Files, QDir::Name)) {
        QFile file(buttons.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            out.push_back(file.readAll());
    }
    return out;
}

QImage Ours(const QByteArray& data)
{
    return corvan::DecodeGif(data).value_or(QImage());
}

QImage Qts(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Decodes every picture once; the seconds it took.
double DecodeAll(const std::vector<QByteArray>& pictures, bool ours)
{
    const auto start = Clock::now();
    for (const QByteArray& data : pictures) {
        const QImage image = ours ? Ours(data) : Qts(data);
        if (image.isNull())
            std::exit(3);
    }
    return Seconds(Clock::now() - start);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ColdInFreshProcess(const char* self, const char* who)
{
    std::vector<double> runs;
    for (int i = 0; i < 11; ++i) {
        const std::string command = std::string(self) + " cold " + who;
        FILE* child = popen(command.c_str(), "r");
        double seconds = 0;
        if (!child || std::fscanf(child, "%lf", &seconds) != 1 || pclose(child) != 0)
            std::exit(4);
        runs.push_back(seconds);
    }
    return Median(runs);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<QByteArray> pictures = Pictures();
    if (pictures.size() < 2) {
        std::fprintf(stderr, "gif_decode: the pictures were not found in %s\n", CORVAN_ASSETS_DIR);
        return 2;
    }
    if (argc == 3 && std::strcmp(argv[1], "cold") == 0) {
        std::printf("%.9f\n", DecodeAll(pictures, std::strcmp(argv[2], "ours") == 0));
        return 0;
    }

    // Same pixels, same outline.
    bool same = true;
    for (const QByteArray& data : pictures) {
        const QImage a = Ours(data);
        const QImage b = Qts(data).convertToFormat(a.format());
        same = same && a == b;
        corvan::Region ra;
        corvan::Region rb;
        std::int32_t ka = corvan::kBottomLeftKey;
        std::int32_t kb = corvan::kBottomLeftKey;
        ra.ScanPicture(a, ka);
        rb.ScanPicture(b, kb);
        same = same && ka == kb && ra.Outline() == rb.Outline();
    }

    const double coldOurs = ColdInFreshProcess(argv[0], "ours");
    const double coldQt = ColdInFreshProcess(argv[0], "qt");
    std::vector<double> warmOurs;
    std::vector<double> warmQt;
    for (int i = 0; i < 51; ++i) {
        warmOurs.push_back(DecodeAll(pictures, true));
        warmQt.push_back(DecodeAll(pictures, false));
    }
    std::printf("%zu pictures (the skin and the buttons), same pixels and outline: %s\n", pictures.size(),
                same ? "yes" : "NO");
    std::printf("cold, fresh process: ours %.3f ms, Qt's reader %.3f ms, ratio %.2f\n", coldOurs * 1e3, coldQt * 1e3,
                coldOurs / coldQt);
    std::printf("warm:                ours %.3f ms, Qt's reader %.3f ms, ratio %.2f\n", Median(warmOurs) * 1e3,
                Median(warmQt) * 1e3, Median(warmOurs) / Median(warmQt));
    return same ? 0 : 1;
}
