#include "playback/transport.h"

#include "browser/file_list_box.h"
#include "engine/media_engine.h"

namespace corvan {

Transport::Transport(const PlaybackControls& controls, MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , c_(controls)
    , engine_(engine)
{
}

void Transport::OpenSelectedFile()
{
    // With nothing selected the engine gets the bare folder path, which it
    // refuses; the display steps still run, as they always have.
    engine_.SetFileName(c_.File1->SelectedPath());
    c_.Label1->setText(c_.File1->SelectedName());
}

void Transport::StartFromFileList()
{
    OpenSelectedFile();
    showPosition();
    showTotal();
    rememberCount();
    showPlaying();
    showTags();
}

void Transport::showPosition()
{
    c_.Label4->setText(QString::number(c_.File1->ListIndex() + 1));
}

void Transport::showTotal()
{
    c_.Total->setText(QStringLiteral("Total ") + QString::number(c_.File1->ListCount()));
}

void Transport::rememberCount()
{
    c_.Label2->setText(QString::number(c_.File1->ListCount()));
}

void Transport::showPlaying()
{
    c_.Playing->setText(QStringLiteral("Playing ") + QString::number(c_.File1->ListIndex() + 1));
}

void Transport::showTags()
{
    const auto title = engine_.ClipTitle();
    const auto author = engine_.ClipAuthor();
    if (!title || !author)
        return;
    c_.Text1->setText(QStringLiteral("Title  ") + *title + QStringLiteral("  Author  ") + *author);
}

}  // namespace corvan
