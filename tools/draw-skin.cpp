// Draws the player's skin picture and its button pictures as PNG files.
// tools/draw-skin.sh turns them into the GIFs kept in assets/.
//
//   draw-skin OUTDIR              writes OUTDIR/new2.png and OUTDIR/buttons/*.png,
//                                 and the same at twice the size for screens
//                                 of high density, OUTDIR/new2@2x.png and
//                                 OUTDIR/buttons/*@2x.png, transparent where
//                                 the window is cut away
//   draw-skin --check PNG GIF     checks that the GIF cuts away exactly the
//                                 pixels the PNG cuts away
//
// Places on the skin are the main window's control places in pixels, from
// the client area's top-left corner.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

namespace {

// The colour cut away from the window. Nothing else on the skin is anywhere
// near it, so a palette reduction cannot pull another pixel onto it.
const QColor kKey(255, 0, 255);

constexpr int kSkinWidth = 439;
constexpr int kSkinHeight = 482;

// ---------------------------------------------------------------- pixel font

// Capitals five pixels high, for lettering too small for a font.
const std::map<char, std::vector<std::string_view>>& PixelGlyphs()
{
    static const std::map<char, std::vector<std::string_view>> glyphs = {
        {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
        {'C', {"###", "#..", "#..", "#..", "###"}},
        {'E', {"###", "#..", "##.", "#..", "###"}},
        {'F', {"###", "#..", "##.", "#..", "#.."}},
        {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
        {'L', {"#..", "#..", "#..", "#..", "###"}},
        {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
        {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
        {'O', {"###", "#.#", "#.#", "#.#", "###"}},
        {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
        {'S', {"###", "#..", "###", "..#", "###"}},
        {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
        {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
        {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
        {' ', {"..", "..", "..", "..", ".."}},
    };
    return glyphs;
}

int PixelTextWidth(std::string_view text)
{
    int width = 0;
    for (char c : text)
        width += static_cast<int>(PixelGlyphs().at(c).front().size()) + 1;
    return width > 0 ? width - 1 : 0;
}

// Pixel art at twice its size: each pixel becomes four, and where two
// neighbouring pixels of one colour meet at a corner the corner takes their
// colour (the Scale2x rule), so that slopes and curves come out in steps of
// the finer pixel instead of blocks of two.
QImage Scale2x(const QImage& art)
{
    const QImage in = art.convertToFormat(QImage::Format_ARGB32);
    QImage out(in.width() * 2, in.height() * 2, QImage::Format_ARGB32);
    const auto at = [&](int x, int y) {
        x = std::clamp(x, 0, in.width() - 1);
        y = std::clamp(y, 0, in.height() - 1);
        return in.pixel(x, y);
    };
    for (int y = 0; y < in.height(); ++y) {
        for (int x = 0; x < in.width(); ++x) {
            const QRgb e = at(x, y);
            const QRgb up = at(x, y - 1);
            const QRgb left = at(x - 1, y);
            const QRgb right = at(x + 1, y);
            const QRgb down = at(x, y + 1);
            const bool alike = up != down && left != right;
            out.setPixel(2 * x, 2 * y, alike && left == up ? up : e);
            out.setPixel(2 * x + 1, 2 * y, alike && up == right ? right : e);
            out.setPixel(2 * x, 2 * y + 1, alike && left == down ? left : e);
            out.setPixel(2 * x + 1, 2 * y + 1, alike && down == right ? right : e);
        }
    }
    return out;
}

// Lays pixel art drawn on a clear layer over `image` at `scale` times its
// size, at (x, y) in pixels of the art. Pixel by pixel, as the art itself is
// drawn: a painter may be at work on the image meanwhile.
void LayArt(QImage& image, const QImage& art, int x, int y, int scale)
{
    const QImage large = scale == 2 ? Scale2x(art) : art.scaled(art.size() * scale);
    for (int row = 0; row < large.height(); ++row)
        for (int col = 0; col < large.width(); ++col)
            if (qAlpha(large.pixel(col, row)) != 0)
                image.setPixel(x * scale + col, y * scale + row, large.pixel(col, row));
}

// At twice the size the lettering is pixel type still, its slopes finer.
void DrawPixelText(QImage& image, int x, int y, std::string_view text, QColor colour, int scale = 1)
{
    const int height = static_cast<int>(PixelGlyphs().at('A').size());
    QImage layer;
    QImage* target = &image;
    int left = x;
    int top = y;
    if (scale > 1) {
        layer = QImage(PixelTextWidth(text) + 2, height + 2, QImage::Format_ARGB32);
        layer.fill(Qt::transparent);
        target = &layer;
        left = top = 1;
    }
    for (char c : text) {
        const auto& rows = PixelGlyphs().at(c);
        for (int row = 0; row < static_cast<int>(rows.size()); ++row)
            for (int col = 0; col < static_cast<int>(rows[row].size()); ++col)
                if (rows[row][col] == '#')
                    target->setPixelColor(left + col, top + row, colour);
        left += static_cast<int>(rows.front().size()) + 1;
    }
    if (scale > 1)
        LayArt(image, layer, x - 1, y - 1, scale);
}

// ---------------------------------------------------------------- helpers

QColor Mix(QColor a, QColor b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

void VerticalGradient(QPainter& p, const QRectF& rect, QColor top, QColor bottom, qreal radius = 0)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    if (radius > 0)
        p.drawRoundedRect(rect, radius, radius);
    else
        p.drawRect(rect);
}

// A rounded well sunk into the body: a dark rim, shadow along the top
// inside, a faint light edge along the bottom outside.
void Well(QPainter& p, const QRectF& rect, qreal radius, QColor fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawRoundedRect(rect.adjusted(-1, -1, 1, 1.5), radius + 1, radius + 1);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(rect, radius, radius);
    p.setBrush(fill);
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    QLinearGradient shade(rect.topLeft(), rect.topLeft() + QPointF(0, 6));
    shade.setColorAt(0, QColor(0, 0, 0, 90));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(shade);
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

// ---------------------------------------------------------------- the skin

QPainterPath Outline()
{
    QPainterPath shell;
    shell.addRoundedRect(QRectF(3, 0, 433, 462), 24, 24);
    QPainterPath deck;
    deck.addRoundedRect(QRectF(0, 444, kSkinWidth, kSkinHeight - 444), 6, 6);
    // The spin control sits in the bottom-left corner: round it off less.
    QPainterPath spinCorner;
    spinCorner.addRoundedRect(QRectF(0, 460, 24, kSkinHeight - 460), 2.5, 2.5);
    deck = deck.united(spinCorner);
    QPainterPath pod;
    pod.addRoundedRect(QRectF(392, 394, kSkinWidth - 392, kSkinHeight - 394), 9, 9);
    return shell.united(deck).united(pod);
}

// Inside or outside, decided once per pixel: a window outline has no half
// pixels, and an edge blended into the key colour would show as a fringe.
std::vector<bool> InsideMask(const QPainterPath& outline)
{
    QImage coverage(kSkinWidth, kSkinHeight, QImage::Format_ARGB32);
    coverage.fill(Qt::transparent);
    QPainter p(&coverage);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(outline, Qt::black);
    p.end();
    std::vector<bool> inside(static_cast<std::size_t>(kSkinWidth) * kSkinHeight);
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x)
            inside[static_cast<std::size_t>(y) * kSkinWidth + x] = qAlpha(coverage.pixel(x, y)) >= 128;
    return inside;
}

void DrawBody(QPainter& p)
{
    // Upper shell: cool dark grey, lighter at the top.
    VerticalGradient(p, QRectF(0, 0, kSkinWidth, 446), QColor(0x4a, 0x4f, 0x58), QColor(0x25, 0x28, 0x2d));
    // A soft sheen across the top.
    QLinearGradient sheen(0, 0, 0, 30);
    sheen.setColorAt(0, QColor(255, 255, 255, 28));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.drawRect(QRectF(0, 0, kSkinWidth, 30));

    // Lower deck for the button row: darker, with a seam above it.
    VerticalGradient(p, QRectF(0, 446, kSkinWidth, kSkinHeight - 446), QColor(0x33, 0x37, 0x3d),
                     QColor(0x1a, 0x1c, 0x20));
    p.fillRect(QRectF(0, 445, kSkinWidth, 1), QColor(0x0c, 0x0d, 0x0f));
    p.fillRect(QRectF(0, 446, kSkinWidth, 1), QColor(0x57, 0x5d, 0x66));

    // Volume pod at the lower right, a shade lighter than the deck.
    VerticalGradient(p, QRectF(392, 394, kSkinWidth - 392, kSkinHeight - 394), QColor(0x45, 0x4a, 0x52),
                     QColor(0x26, 0x29, 0x2e), 9);
}

void DrawTitle(QPainter& p)
{
    // Mark: a ring with a play notch, in the accent blue.
    const QColor accent(0x4c, 0xa8, 0xe8);
    p.setPen(QPen(accent, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(31.5, 14.5), 7, 7);
    QPainterPath notch;
    notch.moveTo(29, 10.5);
    notch.lineTo(35.5, 14.5);
    notch.lineTo(29, 18.5);
    notch.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xec, 0xf1));
    p.drawPath(notch);

    QFont brand(QStringLiteral("DejaVu Sans"));
    brand.setPixelSize(15);
    brand.setBold(true);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(brand);
    p.setPen(QColor(0x10, 0x11, 0x13));
    p.drawText(QPointF(45, 21), QStringLiteral("corvan"));
    p.setPen(QColor(0xe8, 0xec, 0xf1));
    p.drawText(QPointF(45, 20), QStringLiteral("corvan"));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(QColor(0x9a, 0xa1, 0xab));
    p.drawText(QPointF(110, 20), QStringLiteral("media player"));
}

// The minimize and close hot spots: a round key each, with its glyph.
void DrawWindowKeys(QPainter& p)
{
    struct Key {
        QPointF centre;
        QColor top;
        QColor bottom;
    };
    const Key minimize{{348.5, 12.5}, QColor(0x6e, 0x76, 0x82), QColor(0x3e, 0x44, 0x4c)};
    const Key close{{380.5, 12.5}, QColor(0xe0, 0x5a, 0x4e), QColor(0x9c, 0x2c, 0x24)};
    for (const Key& key : {minimize, close}) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x0e, 0x0f, 0x11));
        p.drawEllipse(key.centre, 10, 10);
        QLinearGradient face(key.centre - QPointF(0, 9), key.centre + QPointF(0, 9));
        face.setColorAt(0, key.top);
        face.setColorAt(1, key.bottom);
        p.setBrush(face);
        p.drawEllipse(key.centre, 9, 9);
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawEllipse(key.centre - QPointF(0, 3.5), 6, 4.5);
    }
    // Minimize: a bar low in the key.
    p.setBrush(QColor(0xf2, 0xf4, 0xf7));
    p.drawRoundedRect(QRectF(343.5, 15.5, 10, 2.6), 1, 1);
    // Close: a cross.
    p.setPen(QPen(QColor(0xfb, 0xf1, 0xef), 2.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(377, 9), QPointF(384, 16));
    p.drawLine(QPointF(384, 9), QPointF(377, 16));
}

void DrawGrille(QPainter& p)
{
    // Speaker grille in the right column.
    const QRectF area(393, 48, 38, 340);
    Well(p, area, 6, QColor(0x1c, 0x1e, 0x22));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 55; ++row) {
        const double y = area.top() + 8 + row * 6;
        const int columns = (row % 2 == 0) ? 5 : 4;
        const double x0 = area.left() + ((row % 2 == 0) ? 7 : 10);
        for (int col = 0; col < columns; ++col) {
            const QPointF c(x0 + col * 6, y);
            p.setBrush(QColor(0x47, 0x4c, 0x54));
            p.drawEllipse(c + QPointF(0.4, 0.6), 1.7, 1.7);
            p.setBrush(QColor(0x05, 0x05, 0x06));
            p.drawEllipse(c, 1.6, 1.6);
        }
    }
}

void DrawPanels(QPainter& p, QImage& image, int scale)
{
    // Strip behind the option boxes and the balance buttons; its inside is
    // the boxes' own dark grey, so the row reads as one strip.
    Well(p, QRectF(19, 29, 332, 17), 4, QColor(0x40, 0x40, 0x40));

    // Panel behind the seek strip, the lists, the search box, the time
    // line and the now-playing line; the search tools sit in its foot.
    Well(p, QRectF(19, 47, 369, 396), 6, QColor(0x2b, 0x2d, 0x31));

    QFont engraved(QStringLiteral("DejaVu Sans"));
    engraved.setPixelSize(9);
    engraved.setBold(true);
    engraved.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    p.setFont(engraved);
    p.setPen(QColor(0x44, 0x48, 0x4f));
    p.drawText(QRectF(260, 423, 120, 14), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("CORVAN"));

    // Groove that holds the button row.
    Well(p, QRectF(58, 451, 301, 29), 5, QColor(0x15, 0x16, 0x19));

    // Spin control corner: a small label above it.
    DrawPixelText(image, 3, 463, "VOL", QColor(0x9a, 0xa1, 0xab), scale);
}

void DrawVolumePod(QPainter& p, QImage& image, int scale)
{
    // Mute square: a light, sunken tile on which the red cross shows.
    Well(p, QRectF(407, 407, 19, 19), 3, QColor(0xd9, 0xdd, 0xe3));
    QLinearGradient tile(0, 408, 0, 425);
    tile.setColorAt(0, QColor(0xc9, 0xce, 0xd6));
    tile.setColorAt(1, QColor(0xec, 0xef, 0xf2));
    p.setBrush(tile);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(408, 408, 17, 17), 2, 2);
    DrawPixelText(image, 407 + (19 - PixelTextWidth("MUTE")) / 2, 430, "MUTE", QColor(0x9a, 0xa1, 0xab), scale);

    // Plate under the volume read-out, open to the right edge.
    p.setBrush(QColor(0x0c, 0x0d, 0x0f));
    p.drawRoundedRect(QRectF(419, 452, 30, 25), 4, 4);
    QLinearGradient plate(0, 453, 0, 476);
    plate.setColorAt(0, QColor(0xe4, 0xe7, 0xeb));
    plate.setColorAt(1, QColor(0xc2, 0xc7, 0xcf));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(420, 453, 30, 23), 3, 3);
    DrawPixelText(image, 402, 463, "VOL", QColor(0x9a, 0xa1, 0xab), scale);
}

// Gives the outline a crisp rim: the outermost ring of pixels nearly black,
// the next ring lit where it faces up or left and shaded where it faces down
// or right. Everything outside becomes `outside`. At twice the size the
// outline and its rings are those of the picture at its own size, each of
// its pixels two by two: the window's shape is cut from that picture.
void FinishOutline(QImage& image, const std::vector<bool>& inside, int scale, QColor outside)
{
    auto in = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < kSkinWidth && y < kSkinHeight
               && inside[static_cast<std::size_t>(y) * kSkinWidth + x];
    };
    const QImage painted = image.copy();
    for (int dy = 0; dy < image.height(); ++dy) {
        for (int dx = 0; dx < image.width(); ++dx) {
            const int x = dx / scale;
            const int y = dy / scale;
            if (!in(x, y)) {
                image.setPixelColor(dx, dy, outside);
                continue;
            }
            if (!in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1)) {
                image.setPixelColor(dx, dy, QColor(0x09, 0x0a, 0x0c));
                continue;
            }
            const bool lit = !in(x, y - 2) || !in(x - 2, y) || !in(x - 1, y - 1);
            const bool shaded = !in(x, y + 2) || !in(x + 2, y) || !in(x + 1, y + 1);
            const QColor base = painted.pixelColor(dx, dy);
            if (lit)
                image.setPixelColor(dx, dy, Mix(base, QColor(0xb4, 0xbb, 0xc6), 0.45));
            else if (shaded)
                image.setPixelColor(dx, dy, Mix(base, QColor(0, 0, 0), 0.45));
        }
    }
}

// The skin at `scale` times its size. At its own size the cut-away part is
// the key colour (the GIF the outline is cut from); larger, it is
// transparent, so that scaling to a screen's density blends the edge with
// nothing rather than with the key colour.
QImage DrawSkin(int scale)
{
    QImage image(kSkinWidth * scale, kSkinHeight * scale, scale == 1 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    image.fill(kKey);
    const std::vector<bool> inside = InsideMask(Outline());
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(scale, scale);
        DrawBody(p);
        DrawTitle(p);
        DrawWindowKeys(p);
        DrawGrille(p);
        DrawPanels(p, image, scale);
        DrawVolumePod(p, image, scale);
    }
    FinishOutline(image, inside, scale, scale == 1 ? kKey : QColor(Qt::transparent));
    return image;
}

// ---------------------------------------------------------------- buttons

const QColor kSymbol(0x45, 0x5a, 0x7c);       // grey-blue
const QColor kSymbolLight(0x8e, 0xa6, 0xc8);  // its lit edge

// A raised grey button face: white highlight along the top and left, dark
// grey shadow along the bottom and right, the face itself a soft gradient.
QImage ButtonFace(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const QColor row = Mix(QColor(0xec, 0xea, 0xe5), QColor(0xc6, 0xc2, 0xba),
                               static_cast<double>(y) / (height - 1));
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, row);
    }
    for (int x = 0; x < width; ++x) {
        image.setPixelColor(x, 0, Qt::white);
        image.setPixelColor(x, height - 2, QColor(0x8c, 0x89, 0x84));
        image.setPixelColor(x, height - 1, QColor(0x40, 0x40, 0x40));
    }
    for (int y = 0; y < height; ++y) {
        image.setPixelColor(0, y, Qt::white);
        if (y < height - 1)
            image.setPixelColor(width - 2, y, QColor(0x8c, 0x89, 0x84));
        image.setPixelColor(width - 1, y, QColor(0x40, 0x40, 0x40));
    }
    image.setPixelColor(width - 2, 0, QColor(0xd0, 0xcd, 0xc7));
    image.setPixelColor(0, height - 2, QColor(0xd0, 0xcd, 0xc7));
    image.setPixelColor(0, height - 1, QColor(0x40, 0x40, 0x40));
    return image;
}

void Fill(QImage& image, int x, int y, int w, int h, QColor colour)
{
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            image.setPixelColor(xx, yy, colour);
}

// A bar with a light top pixel row, so it reads as raised like the rest.
void Bar(QImage& image, int x, int y, int w, int h)
{
    Fill(image, x, y, w, h, kSymbol);
    Fill(image, x, y, w, 1, kSymbolLight);
}

// Solid triangles built column by column; the tip is one pixel at the
// centre row cy, the base 2 * half + 1 pixels.
void TriangleRight(QImage& image, int x, int cy, int half)
{
    for (int i = 0; i <= half; ++i) {
        const int reach = half - i;
        Fill(image, x + i, cy - reach, 1, 2 * reach + 1, kSymbol);
        image.setPixelColor(x + i, cy - reach, kSymbolLight);
    }
}

void TriangleLeft(QImage& image, int x, int cy, int half)
{
    for (int i = 0; i <= half; ++i) {
        const int reach = i;
        Fill(image, x + i, cy - reach, 1, 2 * reach + 1, kSymbol);
        image.setPixelColor(x + i, cy - reach, kSymbolLight);
    }
}

void TriangleUp(QImage& image, int cx, int y, int half)
{
    for (int i = 0; i <= half; ++i) {
        Fill(image, cx - i, y + i, 2 * i + 1, 1, kSymbol);
        image.setPixelColor(cx - i, y + i, kSymbolLight);
    }
}

void MagnifyingGlass(QPainter& p)
{
    // Handle first, so the rim covers its end.
    p.setPen(QPen(QColor(0x7a, 0x42, 0x0c), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.2, 10.2), QPointF(15.4, 13.2));
    p.setPen(QPen(QColor(0xf0, 0x8c, 0x1e), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.2, 10.2), QPointF(15.4, 13.2));
    QRadialGradient lens(QPointF(8.2, 5.6), 5.0);
    lens.setColorAt(0, QColor(0xd8, 0xf1, 0xff));
    lens.setColorAt(1, QColor(0x6c, 0xc0, 0xf0));
    p.setBrush(lens);
    p.setPen(QPen(kSymbol, 1.4));
    p.drawEllipse(QPointF(9.5, 7.0), 4.2, 4.2);
}

void ColourSquares(QImage& image)
{
    const std::array<QColor, 6> colours = {QColor(0x8e, 0x4f, 0xd0), QColor(0x3a, 0x80, 0xe8),
                                           QColor(0x38, 0xb0, 0x4c), QColor(0xf2, 0x8a, 0x22),
                                           QColor(0x1f, 0x3a, 0x8c), QColor(0xf2, 0xd0, 0x1e)};
    for (int i = 0; i < 6; ++i) {
        const int x = 4 + (i % 3) * 5;
        const int y = 3 + (i / 3) * 5;
        Fill(image, x, y, 4, 4, colours[static_cast<std::size_t>(i)].darker(135));
        Fill(image, x, y, 3, 3, colours[static_cast<std::size_t>(i)]);
    }
}

void Lamp(QPainter& p, QPointF centre, QColor colour, bool glowing)
{
    p.setPen(Qt::NoPen);
    if (glowing) {
        QRadialGradient glow(centre, 4.5);
        glow.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), 120));
        glow.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 0));
        p.setBrush(glow);
        p.drawEllipse(centre, 4.5, 4.5);
    }
    p.setBrush(QColor(0x20, 0x24, 0x20));
    p.drawEllipse(centre, 2.9, 2.9);
    QRadialGradient body(centre - QPointF(0.7, 0.8), 2.6);
    body.setColorAt(0, colour.lighter(glowing ? 160 : 125));
    body.setColorAt(1, colour);
    p.setBrush(body);
    p.drawEllipse(centre, 2.2, 2.2);
}

// A small arrow that turns back on itself: along the top to the right,
// down round the bend, and back to the left, ending in its head.
void ReturnArrow(QImage& image, int x, int y)
{
    const QColor ink(0x24, 0x28, 0x2e);
    static const std::array<std::string_view, 9> shape = {
        "...######..", "...#######.", "........##.", "..#.....##.", ".##.....##.",
        "#########..", "########...", ".##........", "..#........",
    };
    for (int row = 0; row < static_cast<int>(shape.size()); ++row)
        for (int col = 0; col < static_cast<int>(shape[row].size()); ++col)
            if (shape[row][col] == '#')
                image.setPixelColor(x + col, y + row, ink);
}

// A button picture: pixel art on the face, drawn pixel by pixel and at
// twice the size by the Scale2x rule, and shapes drawn with the painter at
// whatever size.
struct ButtonPicture {
    const char* name;
    int width;
    int height;
    void (*pixels)(QImage&);
    void (*shapes)(QPainter&) = nullptr;
};

const std::vector<ButtonPicture>& ButtonPictures()
{
    static const std::vector<ButtonPicture> pictures = {
        {"Command22", 22, 17,
         [](QImage& i) {
             TriangleLeft(i, 6, 7, 3);
             TriangleLeft(i, 10, 7, 3);
         }},
        {"Command12", 22, 17,
         [](QImage& i) {
             Bar(i, 7, 4, 2, 7);
             TriangleLeft(i, 10, 7, 3);
         }},
        {"Command13", 22, 17, [](QImage& i) { TriangleRight(i, 8, 7, 4); }},
        {"Command14", 22, 17,
         [](QImage& i) {
             Bar(i, 7, 3, 3, 9);
             Bar(i, 12, 3, 3, 9);
         }},
        {"Command15", 22, 17, [](QImage& i) { Bar(i, 7, 4, 7, 7); }},
        {"Command16", 22, 15,
         [](QImage& i) {
             TriangleUp(i, 10, 2, 4);
             Bar(i, 6, 8, 9, 2);
         }},
        {"Command19", 22, 17,
         [](QImage& i) {
             // Outlined plus: dark outline, light inside.
             Fill(i, 9, 3, 3, 9, kSymbol);
             Fill(i, 6, 6, 9, 3, kSymbol);
             Fill(i, 10, 4, 1, 7, kSymbolLight.lighter(125));
             Fill(i, 7, 7, 7, 1, kSymbolLight.lighter(125));
         }},
        {"Command20", 22, 17, [](QImage& i) { Bar(i, 6, 6, 9, 3); }},
        {"Command11", 22, 17,
         [](QImage& i) {
             TriangleRight(i, 8, 7, 3);
             Bar(i, 12, 4, 2, 7);
         }},
        {"Command23", 22, 17,
         [](QImage& i) {
             TriangleRight(i, 7, 7, 3);
             TriangleRight(i, 11, 7, 3);
         }},
        {"Command9", 22, 17, [](QImage&) {}, MagnifyingGlass},
        {"Command10", 22, 17, ColourSquares},
        {"Command21", 22, 17, [](QImage&) {}, MagnifyingGlass},
        {"Command17", 46, 13, [](QImage& i) { DrawPixelText(i, 12, 3, "SHUFFLE", QColor(0x24, 0x28, 0x2e)); },
         [](QPainter& p) { Lamp(p, QPointF(6.5, 5.5), QColor(0x1e, 0x6a, 0x2a), false); }},
        {"Command18", 27, 13, [](QImage& i) { ReturnArrow(i, 13, 1); },
         [](QPainter& p) { Lamp(p, QPointF(6.5, 5.5), QColor(0x2c, 0xe8, 0x4c), true); }},
    };
    return pictures;
}

// ---------------------------------------------------------------- check

int Check(const QString& pngPath, const QString& gifPath)
{
    const QImage png = QImage(pngPath).convertToFormat(QImage::Format_RGB32);
    const QImage gif = QImage(gifPath).convertToFormat(QImage::Format_RGB32);
    if (png.isNull() || gif.isNull() || png.size() != gif.size()) {
        std::fprintf(stderr, "%s: cannot compare with %s\n", qPrintable(gifPath), qPrintable(pngPath));
        return 1;
    }
    const QRgb key = kKey.rgb();
    long mismatches = 0;
    int worst = 0;
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            const QRgb a = png.pixel(x, y);
            const QRgb b = gif.pixel(x, y);
            if ((a == key) != (b == key))
                ++mismatches;
            worst = std::max(
                {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    }
    // A picture with a cut-away corner must keep it: it names the key.
    const bool cornerKept = png.pixel(0, png.height() - 1) != key || gif.pixel(0, gif.height() - 1) == key;
    std::printf("%s: %ld pixels cut differently, largest colour change %d%s\n", qPrintable(QDir(gifPath).dirName()),
                mismatches, worst, cornerKept ? "" : ", bottom-left lost the key");
    return mismatches == 0 && cornerKept ? 0 : 1;
}

bool Save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no screen is needed.
    std::vector<char*> args(argv, argv + argc);
    char platformFlag[] = "-platform";
    char platformName[] = "offscreen";
    args.insert(args.begin() + 1, {platformFlag, platformName});
    int qtArgc = static_cast<int>(args.size());
    QGuiApplication app(qtArgc, args.data());

    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() == 3 && arguments[0] == QStringLiteral("--check"))
        return Check(arguments[1], arguments[2]);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: draw-skin OUTDIR | draw-skin --check PNG GIF\n");
        return 2;
    }

    const QDir out(arguments[0]);
    if (!out.mkpath(QStringLiteral("buttons"))) {
        std::fprintf(stderr, "cannot make %s/buttons\n", qPrintable(out.path()));
        return 1;
    }
    bool ok = Save(DrawSkin(1), out.filePath(QStringLiteral("new2.png")));
    ok = Save(DrawSkin(2), out.filePath(QStringLiteral("new2@2x.png"))) && ok;
    for (const ButtonPicture& picture : ButtonPictures()) {
        for (int scale : {1, 2}) {
            QImage image = ButtonFace(picture.width, picture.height);
            if (scale == 1) {
                picture.pixels(image);
            } else {
                image = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
                QImage art(picture.width, picture.height, QImage::Format_ARGB32);
                art.fill(Qt::transparent);
                picture.pixels(art);
                LayArt(image, art, 0, 0, scale);
            }
            if (picture.shapes) {
                QPainter p(&image);
                p.setRenderHint(QPainter::Antialiasing);
                p.scale(scale, scale);
                picture.shapes(p);
            }
            const QString name = QLatin1String(picture.name) + (scale > 1 ? QStringLiteral("@2x") : QString());
            ok = Save(image, out.filePath(QStringLiteral("buttons/%1.png").arg(name))) && ok;
        }
    }
    return ok ? 0 : 1;
}
