#include "shell/seek_bar.h"

#include "engine/media_engine.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvan {

namespace {
constexpr int kMargin = 6;
}

SeekBar::SeekBar(MediaEngine& engine, QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
{
    setCursor(Qt::PointingHandCursor);
}

int SeekBar::thumbX() const
{
    const double d = engine_.Duration();
    const double p = engine_.CurrentPosition();
    const int span = width() - 2 * kMargin;
    if (d <= 0 || span <= 0)
        return kMargin;
    return kMargin + static_cast<int>(span * qBound(0.0, p / d, 1.0));
}

void SeekBar::Refresh()
{
    if (thumbX() != paintedX_)
        update();
}

void SeekBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0x40, 0x40, 0x40));
    const int mid = height() / 2;
    const QRectF groove(kMargin, mid - 2, width() - 2 * kMargin, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRoundedRect(groove, 2, 2);
    paintedX_ = thumbX();
    p.setBrush(QColor(0x6f, 0xa8, 0xdc));
    p.drawRoundedRect(QRectF(kMargin, mid - 2, paintedX_ - kMargin, 4), 2, 2);
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    p.drawEllipse(QPointF(paintedX_, mid), 4.5, 4.5);
}

void SeekBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        seekTo(event->position().toPoint().x());
}

void SeekBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        seekTo(event->position().toPoint().x());
}

void SeekBar::seekTo(int x)
{
    const double d = engine_.Duration();
    const int span = width() - 2 * kMargin;
    if (d <= 0 || span <= 0)
        return;
    engine_.SetCurrentPosition(d * qBound(0.0, double(x - kMargin) / span, 1.0));
    update();
}

}  // namespace corvan
