#include "shell/show_on_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>

namespace corvan {

namespace {

// The map request again, straight to the X server: a hide and show through
// the toolkit would also unmap a window that is merely slow to appear.
void MapAgain(QWidget& window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_map_window(x11->connection(), static_cast<xcb_window_t>(window.winId()));
    xcb_flush(x11->connection());
}

}  // namespace

QPoint FitOnScreen(const QRect& window, const QRect& available)
{
    if (available.isEmpty())
        return window.topLeft();
    const auto fit = [](int place, int length, int first, int room) {
        place = std::min(place, first + room - length);
        return std::max(place, first);
    };
    return {fit(window.x(), window.width(), available.x(), available.width()),
            fit(window.y(), window.height(), available.y(), available.height())};
}

void ShowOnScreen(QWidget& window, int retryMs, int tries)
{
    const QRect place(window.pos(), window.size());
    const QScreen* screen = QGuiApplication::screenAt(place.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        window.move(FitOnScreen(place, screen->availableGeometry()));
    window.show();
    if (!qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return;
    auto* retry = new QTimer(&window);
    retry->setInterval(retryMs);
    QObject::connect(retry, &QTimer::timeout, &window, [&window, retry, left = tries]() mutable {
        const QWindow* handle = window.windowHandle();
        if (!handle || handle->isExposed() || !window.isVisible() || --left < 0) {
            retry->deleteLater();
            return;
        }
        MapAgain(window);
    });
    retry->start();
}

}  // namespace corvan
