#pragma once

#include <QWidget>

namespace corvan {

class MediaEngine;

// The visible strip of the engine's area: the position within the open clip,
// and a click or drag there moves the position.
class SeekBar : public QWidget {
    Q_OBJECT

public:
    explicit SeekBar(MediaEngine& engine, QWidget* parent = nullptr);

    // Repaints when the position has moved by a pixel or more.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void seekTo(int x);
    int thumbX() const;

    MediaEngine& engine_;
    int paintedX_ = -1;
};

}  // namespace corvan
