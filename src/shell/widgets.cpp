#include "shell/widgets.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvan {

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    armed_ = event->button() == Qt::LeftButton;
    emit Pressed(event->buttons(), event->globalPosition().toPoint());
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = armed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    armed_ = false;
    event->accept();
    if (click)
        emit Clicked();
}

// A click takes the focus, as a button's click does: the search box left
// that way puts its prompt back.
PictureButton::PictureButton(QWidget* parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

// The picture is the whole face: no focus frame is drawn over it.
void PictureButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButton, option);
}

void PictureButton::enterEvent(QEnterEvent* event)
{
    emit Entered();
    QPushButton::enterEvent(event);
}

void TextBox::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit Clicked();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    emit DoubleClicked();
}

void TextBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    emit FocusLost();
}

UpDown::UpDown(QWidget* parent)
    : QWidget(parent)
    , up_(new QToolButton(this))
    , down_(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, [this] { SetValue(value_ + 1); });
    connect(down_, &QToolButton::clicked, this, [this] { SetValue(value_ - 1); });
}

void UpDown::SetValue(int value)
{
    value = qBound(min_, value, max_);
    if (value == value_)
        return;
    value_ = value;
    emit Changed(value_);
}

void UpDown::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    value_ = qBound(min_, value_, max_);
}

}  // namespace corvan
