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

void EndOfTrack::OnEndOfStream()
{
    const EndOfTrackState state{IsOn(c_.Check1), IsOn(c_.Check2), IsOn(c_.Check3), IsOn(c_.Check4),
                                c_.Label4->text(), c_.Label2->text()};
    FileListBox* queue = c_.File1;
    const int index = queue->ListIndex();

    // A move out of the queue's range is refused and leaves the selection,
    // so the entry still selected starts again.
    switch (ChooseEndOfTrackRule(state)) {
    case EndOfTrackRule::RepeatSong:
        queue->SetListIndex(index);
        transport_.OpenSelectedFile();
        return;
    case EndOfTrackRule::TurnOff:
        if (exitNow_)
            exitNow_();
        return;
    case EndOfTrackRule::Shuffle:
        queue->SetListIndex(index + 2);
        transport_.OpenSelectedFile();
        return;
    case EndOfTrackRule::WrapToFirst:
        queue->SetListIndex(0);
        transport_.OpenSelectedFile();
        transport_.ShowPosition();
        return;
    case EndOfTrackRule::GoUp:
        // Going up stops at the top of the queue: above entry 0 there is only
        // the bare folder, which would play nothing and blank the labels.
        if (index <= 0)
            return;
        queue->SetListIndex(index - 1);
        transport_.OpenSelectedFile();
        transport_.ShowPosition();
        return;
    case EndOfTrackRule::GoDown:
        queue->SetListIndex(index + 1);
        transport_.OpenSelectedFile();
        transport_.ShowPosition();
        return;
    }
}

}  // namespace corvan
