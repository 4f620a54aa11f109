#include "shell/after_exposed.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace corvan {

namespace {

class ExposureWatch : public QObject {
public:
    ExposureWatch(QWidget& window, std::function<void()> then, int fallbackMs)
        : QObject(&window)
        , then_(std::move(then))
        , handle_(window.windowHandle())
    {
        if (handle_)
            handle_->installEventFilter(this);
        QTimer::singleShot(fallbackMs, this, [this] { fire(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && handle_->isExposed())
            QTimer::singleShot(0, this, [this] { fire(); });
        return false;
    }

private:
    void fire()
    {
        if (fired_)
            return;
        fired_ = true;
        if (handle_)
            handle_->removeEventFilter(this);
        const auto then = std::move(then_);
        deleteLater();
        then();
    }

    std::function<void()> then_;
    QWindow* const handle_;
    bool fired_ = false;
};

}  // namespace

void AfterExposed(QWidget& window, std::function<void()> then, int fallbackMs)
{
    new ExposureWatch(window, std::move(then), fallbackMs);
}

}  // namespace corvan
