#pragma once

#include <QObject>
#include <QPoint>

namespace corvan {

class Form2;

// The commands that stand in for the frame and caption the skinned window
// does not have: moving by the picture, the popup menu, minimize, close,
// and the about, mail and read-me items.
class WindowCommands : public QObject {
    Q_OBJECT

public:
    explicit WindowCommands(Form2& form);

    // A press on the bare picture: the left button moves the window, the
    // right one opens the popup menu; the middle one does nothing.
    void SurfacePressed(Qt::MouseButton button, const QPoint& globalPos);
    // A press on the title label or a list: the right button among the
    // pressed ones opens the popup menu.
    void ControlPressed(Qt::MouseButtons buttons, const QPoint& globalPos);

    // Hands the press to the window system, which moves the window until the
    // button is released.
    void Move();
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

private:
    Form2& form_;
};

// The about box and the mail command's address.
inline constexpr QStringView kAboutTitle = u"Corvan Media Player";
inline constexpr QStringView kAboutCredit = u"Corvan Media Player 4 \u2014 a small skinned audio player by the Corvan Player developers";
inline constexpr QStringView kMailUrl = u"mailto:corvan-player@example.org";

}  // namespace corvan
