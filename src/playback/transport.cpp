#include "playback/transport.h"

#include "browser/file_list_box.h"
#include "engine/media_engine.h"

namespace corvan {

Transport::Transport(const PlaybackControls& controls, MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , c_(controls)
    , engine_(engine)
{
    connect(&engine_, &MediaEngine::TagsChanged, this, &Transport::OnTagsChanged);
}

void Transport::OpenSelectedFile()
{
    // With nothing selected the engine gets the bare folder path, which it
    // refuses; the display steps still run, as they always have.
    engine_.SetFileName(c_.File1->SelectedPath());
    ShowSelectedName();
}

void Transport::ShowSelectedName()
{
    c_.Label1->setText(c_.File1->SelectedName());
}

void Transport::StartFromFileList()
{
    OpenSelectedFile();
    ShowPosition();
    ShowTotal();
    RememberCount();
    ShowPlaying();
    ShowTags();
}

void Transport::PlaySelected()
{
    // Play comes first, so a paused track is resumed and then replaced by
    // the selected entry from its beginning.
    engine_.Play();
    OpenSelectedFile();
    ShowTotal();
    ShowPlaying();
}

void Transport::StartSelected()
{
    OpenSelectedFile();
    ShowPosition();
}

void Transport::PauseTrack()
{
    engine_.Pause();
}

void Transport::ResumeTrack()
{
    engine_.Play();
}

void Transport::StopTrack()
{
    engine_.Stop();
}

void Transport::NextTrack()
{
    // The labels are compared as text: their design captions "Label4" and
    // "Label2" never match, so the wrap only arms once a start has written
    // the queue length into Label2.
    if (c_.Label4->text() == c_.Label2->text()) {
        c_.File1->SetListIndex(0);
        OpenSelectedFile();
        ShowPosition();
        return;
    }
    // At the last entry the move is refused and the same entry restarts.
    c_.File1->SetListIndex(c_.File1->ListIndex() + 1);
    OpenSelectedFile();
    ShowPosition();
    ShowPlaying();
    ShowTotal();
}

void Transport::PreviousTrack()
{
    const int index = c_.File1->ListIndex();
    if (index < 0)
        return;
    c_.File1->SetListIndex(index > 0 ? index - 1 : 0);
    OpenSelectedFile();
    ShowPosition();
    RememberCount();
    ShowTotal();
    ShowPlaying();
}

void Transport::PlayPath(const FilePath& path)
{
    if (path.IsEmpty())
        return;
    engine_.SetFileName(path);
}

void Transport::ShowPosition()
{
    c_.Label4->setText(QString::number(c_.File1->ListIndex() + 1));
}

void Transport::ShowTotal()
{
    c_.Total->setText(QStringLiteral("Total ") + QString::number(c_.File1->ListCount()));
}

void Transport::RememberCount()
{
    c_.Label2->setText(QString::number(c_.File1->ListCount()));
}

void Transport::ShowPlaying()
{
    c_.Playing->setText(QStringLiteral("Playing ") + QString::number(c_.File1->ListIndex() + 1));
}

void Transport::ShowTags()
{
    const auto title = engine_.ClipTitle();
    const auto author = engine_.ClipAuthor();
    if (!title || !author)
        return;
    tagsLine_ = QStringLiteral("Title  ") + *title + QStringLiteral("  Author  ") + *author;
    tagsFile_ = engine_.FileName();
    c_.Text1->setText(tagsLine_);
}

void Transport::OnTagsChanged()
{
    // The engine opens a file in the background, so the line written right
    // after the start is nearly always bare. It follows the tags as long as
    // the box still shows it, for the same file: the person has not typed,
    // clicked or moved on meanwhile.
    if (tagsLine_.isEmpty() || c_.Text1->text() != tagsLine_ || engine_.FileName() != tagsFile_) {
        tagsLine_.clear();
        return;
    }
    ShowTags();
}

}  // namespace corvan
