#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

class QToolButton;

namespace corvan {

class MediaEngine;

// A label that is also a button: a left click on it emits Clicked, any
// press reports its buttons (right presses open the popup menu).
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void Clicked();
    void Pressed(Qt::MouseButtons buttons, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool armed_ = false;
};

// A flat button showing one small picture; pointing at it emits Entered.
class PictureButton : public QPushButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

signals:
    void Entered();

protected:
    void enterEvent(QEnterEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A text box that reports clicks, double-clicks and the loss of focus.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

signals:
    void Clicked();
    void DoubleClicked();
    void FocusLost();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// A spin control: an up and a down arrow, no text field, value Min..Max.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    int Value() const { return value_; }
    void SetValue(int value);
    void SetRange(int min, int max);

signals:
    void Changed(int value);

private:
    QToolButton* up_;
    QToolButton* down_;
    int value_ = 0;
    int min_ = 0;
    int max_ = 10;
};

}  // namespace corvan
