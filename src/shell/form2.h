#pragma once

#include "browser/folder_view.h"
#include "shell/desktop.h"
#include "shell/form2_controls.h"
#include "shell/skin.h"

#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace corvan {

class BalanceSpeed;
class MediaEngine;
class PlaylistCommands;
class Seeking;
class Transport;

// The command objects the wiring made: what drives the window from outside
// it (the desktop's remote control, the command line, drops) goes through
// them, as the window's own controls do.
struct Form2Commands {
    Transport* transport = nullptr;
    PlaylistCommands* playlist = nullptr;
    BalanceSpeed* speed = nullptr;
    Seeking* seeking = nullptr;
};

// The main window: a frameless window that wears the skin picture and holds
// every control of the design table. It keeps no playback rules itself: the
// subsystems attach their handlers to its controls (shell/wiring.h).
class Form2 : public QWidget {
    Q_OBJECT

public:
    // The whole window, controls and handlers included, playing through
    // `engine`; its lists show `start`, read ahead (ReadFolderView) or, in
    // the first form, read now from the process's current folder. The
    // buttons' pictures are taken from `pictures` (ReadButtonPictures) where
    // it has them, and read now where not.
    Form2(MediaEngine& engine, Desktop desktop, QWidget* parent = nullptr);
    Form2(MediaEngine& engine, Desktop desktop, const FolderView& start, const ButtonPictureFiles& pictures = {},
          QWidget* parent = nullptr);
    ~Form2() override;

    Form2Controls& Controls() { return c_; }
    Form2Menu& Menu() { return m_; }
    Form2Commands& Commands() { return commands_; }
    MediaEngine& Engine() { return *engine_; }
    Desktop& Desk() { return desktop_; }
    // Time display, every 500 ms.
    QTimer& Timer1() { return timer1_; }
    // Applies the chosen speed.
    QTimer& Timer2() { return timer2_; }

    // The load handling that follows the skin: the start volume, the search
    // pattern choices, the centre balance, and the two timers.
    void Load();

    // Opens the popup menu at a screen position.
    void PopupMenu(const QPoint& globalPos);

signals:
    // The window is being unloaded (closed); emitted once.
    void Unloading();
    // Files or folders were dropped on the window, as URLs.
    void Dropped(const QList<QUrl>& urls);
    // A mouse press on the window's own surface, the skin picture where no
    // control lies.
    void SurfacePressed(Qt::MouseButton button, const QPoint& globalPos);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildControls(const FolderView& start, const ButtonPictureFiles& pictures);
    void buildMenu();

    MediaEngine* engine_;
    Desktop desktop_;
    Form2Controls c_;
    Form2Menu m_;
    Form2Commands commands_;
    QTimer timer1_;
    QTimer timer2_;
    bool unloaded_ = false;
};

}  // namespace corvan
