#include "playback/end_of_track.h"

#include "browser/file_list_box.h"
#include "playback/transport.h"

namespace corvan {

namespace {

// Only a ticked box counts; a greyed one is off.
bool IsOn(const QCheckBox* box)
{
    return box->checkState() == Qt::Checked;
}

}  // namespace

EndOfTrackRule ChooseEndOfTrackRule(const EndOfTrackState& s)
{
    if (s.repeat)
        return EndOfTrackRule::RepeatSong;
    if (s.turnOff)
        return EndOfTrackRule::TurnOff;
    if (s.shuffle)
        return EndOfTrackRule::Shuffle;
    if (s.label2 == s.label4)
        return EndOfTrackRule::WrapToFirst;
    if (s.up)
        return EndOfTrackRule::GoUp;
    return EndOfTrackRule::GoDown;
}

EndOfTrack::EndOfTrack(const EndOfTrackControls& controls, Transport& transport, std::function<void()> exitNow,
                       QObject* parent)
    : QObject(parent)
    , c_(controls)
    , transport_(transport)
    , exitNow_(std::move(exitNow))
{
}

EndOfTrackChoice EndOfTrack::Choose() const
{
    EndOfTrackChoice choice;
    const EndOfTrackState state{IsOn(c_.Check1), IsOn(c_.Check2),   IsOn(c_.Check3),
                                IsOn(c_.Check4), c_.Label4->text(), c_.Label2->text()};
    const FileListBox* queue = c_.File1;
    const int index = queue->ListIndex();
    choice.rule = ChooseEndOfTrackRule(state);

    int to = index;
    switch (choice.rule) {
    case EndOfTrackRule::RepeatSong:
    case EndOfTrackRule::TurnOff:
        break;
    case EndOfTrackRule::Shuffle:
        to = index + 2;
        break;
    case EndOfTrackRule::WrapToFirst:
        to = 0;
        break;
    case EndOfTrackRule::GoUp:
        // Going up stops at the top of the queue: above entry 0 there is only
        // the bare folder, which would play nothing and blank the labels.
        choice.stays = index <= 0;
        to = index - 1;
        break;
    case EndOfTrackRule::GoDown:
        to = index + 1;
        break;
    }
    // A move out of the queue's range is refused and leaves the selection,
    // so the entry still selected starts again.
    choice.index = to >= -1 && to < queue->ListCount() ? to : index;
    choice.path = queue->Path().Join(queue->EntryName(choice.index));
    return choice;
}

void EndOfTrack::Carry(const EndOfTrackChoice& choice, bool started)
{
    if (choice.rule == EndOfTrackRule::TurnOff) {
        if (exitNow_)
            exitNow_();
        return;
    }
    if (choice.stays)
        return;
    c_.File1->SetListIndex(choice.index);
    if (started)
        transport_.ShowSelectedName();
    else
        transport_.OpenSelectedFile();
    // Label4 follows every rule but repeat and shuffle.
    if (choice.rule != EndOfTrackRule::RepeatSong && choice.rule != EndOfTrackRule::Shuffle)
        transport_.ShowPosition();
}

void EndOfTrack::OnEndOfStream()
{
    handedOn_.reset();
    Carry(Choose(), false);
}

std::optional<FilePath> EndOfTrack::NextFile()
{
    const EndOfTrackChoice choice = Choose();
    handedOn_.reset();
    if (choice.rule == EndOfTrackRule::TurnOff || choice.stays)
        return std::nullopt;
    handedOn_ = choice;
    return choice.path;
}

void EndOfTrack::OnFileJoined()
{
    const std::optional<EndOfTrackChoice> handed = std::exchange(handedOn_, std::nullopt);
    const EndOfTrackChoice now = Choose();
    // The window as it stands now leads where it led then: the rule's steps
    // follow the file already playing. Otherwise what the rule picks now
    // starts.
    Carry(now, handed && now == *handed);
}

}  // namespace corvan
