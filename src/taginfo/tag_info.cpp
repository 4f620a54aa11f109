#include "taginfo/tag_info.h"

#include "browser/file_list_box.h"
#include "engine/media_engine.h"
#include "taginfo/form1.h"

namespace corvan {

TagInfo::TagInfo(TagInfoControls controls, MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , c_(controls)
    , engine_(engine)
{
}

Form1* TagInfo::Window() const
{
    return form1_;
}

TagInfo::~TagInfo()
{
    delete form1_.data();
}

Form1* TagInfo::load()
{
    if (!form1_) {
        auto* window = new Form1;
        form1_ = window;
        // A closed window is let go at once, so the next "Tag Info " loads a
        // fresh one from the design texts; its deletion waits until the close
        // that may have come from its own button has returned.
        connect(window, &Form1::Unloaded, this, [this, window] {
            if (form1_ == window)
                form1_ = nullptr;
            window->deleteLater();
        });
    }
    return form1_;
}

void TagInfo::ShowTagInfo()
{
    Form1* window = load();
    // A window minimized before it was ever shown has no task bar button to
    // bring it back: it opens normal.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();

    Form1Controls& f = window->Controls();
    if (const std::optional<QString> title = engine_.ClipTitle()) {
        f.Text1->setText(*title);
        f.Text1->setCursorPosition(0);
    }
    if (const std::optional<QString> author = engine_.ClipAuthor()) {
        f.Text2->setText(*author);
        f.Text2->setCursorPosition(0);
    }
    if (c_.File1) {
        f.Text3->setText(c_.File1->SelectedPath().Text());
        f.Text3->setCursorPosition(0);
    }
}

void TagInfo::MinimizeTagWindow()
{
    Form1* window = load();
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
}

void TagInfo::Unload()
{
    Form1* window = form1_;
    if (!window)
        return;
    window->close();
    // A window that was never shown may take its close without a close event.
    if (form1_ == window) {
        form1_ = nullptr;
        window->deleteLater();
    }
}

}  // namespace corvan
