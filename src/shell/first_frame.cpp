#include "shell/first_frame.h"

#include "shell/widgets.h"

#include <QAbstractItemView>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

#include <xcb/xcb.h>

namespace corvan {

namespace {

// Drops the X server's exposures of the window that it made before it
// received the window's first whole paint: that paint, copied to the server
// after them, already covers what they ask for. The paint's place among the
// program's requests is marked by a request that does nothing, sent as the
// paint begins; the copy follows it.
class StaleExposures : public QObject, public QAbstractNativeEventFilter {
public:
    StaleExposures(QWidget& window, xcb_connection_t* connection)
        : QObject(&window)
        , window_(window)
        , connection_(connection)
        , id_(static_cast<xcb_window_t>(window.winId()))
    {
        window.installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~StaleExposures() override
    {
        if (auto* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_ && event->type() == QEvent::Paint && !painted_) {
            // The first paint after the show is the whole window; a
            // window that is not painted whole keeps every exposure.
            window_.removeEventFilter(this);
            if (static_cast<QPaintEvent*>(event)->rect() == window_.rect()) {
                paintSequence_ = xcb_no_operation(connection_).sequence;
                painted_ = true;
            }
        }
        return false;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (!painted_ || type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_EXPOSE
            || reinterpret_cast<const xcb_expose_event_t*>(event)->window != id_)
            return false;
        return ExposureIsStale(event->full_sequence, paintSequence_);
    }

private:
    QWidget& window_;
    xcb_connection_t* const connection_;
    const xcb_window_t id_;
    std::uint32_t paintSequence_ = 0;
    bool painted_ = false;
};

// Whether `w` and everything inside it have the same colours whether the
// window is active or not.
bool SameWhenActive(const QWidget& w)
{
    if (!w.palette().isEqual(QPalette::Active, QPalette::Inactive))
        return false;
    for (const QWidget* child : w.findChildren<QWidget*>()) {
        if (!child->palette().isEqual(QPalette::Active, QPalette::Inactive))
            return false;
    }
    return true;
}

// Whether `button` looks the same with the focus that activating its
// window gives it as without.
bool NoFocusFrameOnActivation(const QWidget& button)
{
    if (qobject_cast<const PictureButton*>(&button))
        return true;
    if (!qobject_cast<const QCheckBox*>(&button) && !qobject_cast<const QRadioButton*>(&button))
        return false;
    return button.style()->name() == QLatin1String("fusion")
           && !button.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

// Leaves out the repaints of the window's first activation that draw the
// same pixels again; gone once that activation has been handled.
class FirstActivation : public QObject {
public:
    explicit FirstActivation(QWidget& window)
        : QObject(&window)
        , window_(window)
    {
        window.installEventFilter(this);
        for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>())
            view->installEventFilter(this);
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
            button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            if (watched == &window_) {
                // The focus is given within the same activation.
                deleteLater();
                return false;
            }
            // Passed on to a view from its window: kept from the view and
            // what is inside it, whose colours are the same either way.
            const auto* view = qobject_cast<const QAbstractItemView*>(watched);
            return view && SameWhenActive(*view);
        }
        if (event->type() == QEvent::FocusIn) {
            const auto* button = qobject_cast<const QAbstractButton*>(watched);
            return button && static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason
                   && NoFocusFrameOnActivation(*button);
        }
        return false;
    }

private:
    QWidget& window_;
};

}  // namespace

bool ExposureIsStale(std::uint32_t exposureSequence, std::uint32_t paintSequence)
{
    return static_cast<std::int32_t>(exposureSequence - paintSequence) <= 0;
}

void DrawFirstFrameOnce(QWidget& window)
{
    new FirstActivation(window);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        new StaleExposures(window, x11->connection());
}

}  // namespace corvan
