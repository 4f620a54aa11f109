#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class QWindow;

namespace corvan {

class Form2;

// The commands that stand in for the frame and caption the skinned window
// does not have: moving by the picture, the popup menu, minimize, close,
// and the about, mail and read-me items.
class WindowCommands : public QObject {
    Q_OBJECT

public:
    // Hands a move to the window system; false when it refuses.
    using SystemMove = std::function<bool(QWindow&)>;
    static bool StartSystemMove(QWindow& window);

    explicit WindowCommands(Form2& form, SystemMove systemMove = StartSystemMove);

    // A press on the bare picture: the left button moves the window, the
    // right one opens the popup menu; the middle one does nothing.
    void SurfacePressed(Qt::MouseButton button, const QPoint& globalPos);
    // A press on the title label or a list: the right button among the
    // pressed ones opens the popup menu.
    void ControlPressed(Qt::MouseButtons buttons, const QPoint& globalPos);

    // Hands the press at `globalPos` to the window system, which moves the
    // window until the button is released. Where it refuses, the window
    // follows the pointer itself until then.
    void Move(const QPoint& globalPos);
    void Popup(const QPoint& globalPos);
    void Minimize();
    // Unloads the main window; its unload handling runs.
    void Close();
    void About();
    void Mail();
    void ReadMe();

signals:
    // A move is being handed to the window system.
    void Moving();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form2& form_;
    SystemMove systemMove_;
    // The pointer and the window's place when a move the window makes itself
    // began; set only while one runs.
    std::optional<QPoint> dragFrom_;
    QPoint windowFrom_;
};

// The about box and the mail command's address.
inline constexpr QStringView kAboutTitle = u"Corvan Media Player";
inline constexpr QStringView kAboutCredit =
    u"Corvan Media Player 4 \u2014 a small skinned audio player by the Corvan Player developers";
inline constexpr QStringView kMailUrl = u"mailto:corvan-player@example.org";

}  // namespace corvan
