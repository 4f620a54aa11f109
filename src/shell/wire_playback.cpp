#include "audio/seeking.h"
#include "browser/file_list_keys.h"
#include "browser/layouts.h"
#include "engine/media_engine.h"
#include "playback/end_of_track.h"
#include "playback/play_options.h"
#include "playback/transport.h"
#include "playlist/queue_search_box.h"
#include "shell/form2.h"
#include "shell/triggers.h"
#include "shell/wiring.h"

#include <QPointer>

namespace corvan {

namespace {

void WireTransport(Form2& form, Transport* transport)
{
    Form2Controls& c = form.Controls();
    Form2Menu& m = form.Menu();

    // Each transport command is reached from a text label, a picture button,
    // an accelerator button placed out of sight for its Alt key, and a popup
    // item. "Pause" is labelled "Stop Track" and the "&Stop" button pauses.
    ConnectTriggers(
        {
            {c.Label7, Run(transport, &Transport::PlaySelected)},
            {c.Label8, Run(transport, &Transport::PauseTrack)},
            {c.Label9, Run(transport, &Transport::NextTrack)},
            {c.Label10, Run(transport, &Transport::PreviousTrack)},

            {c.Command13, Run(transport, &Transport::PlaySelected)},
            {c.Command14, Run(transport, &Transport::PauseTrack)},
            {c.Command15, Run(transport, &Transport::StopTrack)},
            {c.Command11, Run(transport, &Transport::NextTrack)},
            {c.Command12, Run(transport, &Transport::PreviousTrack)},
            {c.Command2, Run(transport, &Transport::PlaySelected)},
            {c.Stop, Run(transport, &Transport::PauseTrack)},
            {c.Command6, Run(transport, &Transport::NextTrack)},
            {c.Command8, Run(transport, &Transport::PreviousTrack)},

            {m.mnupopupplay, Run(transport, &Transport::StartSelected)},
            {m.mnupopupstop, Run(transport, &Transport::StopTrack)},
            {m.mnupopuppause, Run(transport, &Transport::PauseTrack)},
            {m.mnupopupresume, Run(transport, &Transport::ResumeTrack)},
            {m.mnupopupnext, Run(transport, &Transport::NextTrack)},
            {m.mnupopupprevious, Run(transport, &Transport::PreviousTrack)},
        },
        transport);

    // Pointing at the next and previous buttons rewrites their tooltips with
    // a trailing blank.
    QObject::connect(c.Command11, &PictureButton::Entered, c.Command11,
                     [b = c.Command11] { b->setToolTip(QStringLiteral("Next Track ")); });
    QObject::connect(c.Command12, &PictureButton::Entered, c.Command12,
                     [b = c.Command12] { b->setToolTip(QStringLiteral("Previous Track ")); });

    QObject::connect(c.Text5, &TextBox::DoubleClicked, transport,
                     [transport, box = c.Text5] { transport->PlayPath(FilePath::FromText(box->text())); });

    // A double-click in the queue starts the entry with the full display,
    // then the list layout takes over from the browse layout.
    const LayoutControls layout{c.Drive1, c.Dir1, c.File1, c.List1, c.Combo1, c.Check5, c.Command21};
    QObject::connect(c.File1, &FileListBox::DoubleClicked, transport, [transport, layout] {
        transport->StartFromFileList();
        ShowFileListLayout(layout);
    });
}

void WireEndOfTrack(Form2& form, Transport* transport)
{
    Form2Controls& c = form.Controls();
    Form2Menu& m = form.Menu();

    auto* end = new EndOfTrack(
        {c.File1, c.Label4, c.Label2, c.Check1, c.Check2, c.Check3, c.Check4}, *transport,
        [&form] {
            if (form.Desk().exitNow)
                form.Desk().exitNow();
        },
        &form);
    end->setObjectName(QStringLiteral("EndOfTrack"));
    QObject::connect(&form.Engine(), &MediaEngine::EndOfStream, end, &EndOfTrack::OnEndOfStream);
    // Files follow one another without a gap: the engine asks for the next
    // while the end of the one before still plays.
    form.Engine().SetNextFile([end = QPointer<EndOfTrack>(end)]() -> std::optional<FilePath> {
        return end ? end->NextFile() : std::nullopt;
    });
    QObject::connect(&form.Engine(), &MediaEngine::FileJoined, end, &EndOfTrack::OnFileJoined);

    auto* options = new PlayOptions({c.Check1, c.Check2, c.Check3, c.Check4, c.Command17, c.Command18,
                                     m.mnupopupoptionsrepeat, m.mnupopupoptionsshufle, m.mnupopupoptionsturnoff,
                                     m.mnupopupoptionsupplaylist},
                                    &form);
    options->setObjectName(QStringLiteral("PlayOptions"));
    ConnectTriggers(
        {
            {m.mnupopupoptionsrepeat, Run(options, &PlayOptions::ToggleRepeatItem)},
            {m.mnupopupoptionsshufle, Run(options, &PlayOptions::ToggleShuffleItem)},
            {m.mnupopupoptionsturnoff, Run(options, &PlayOptions::ToggleTurnOffItem)},
            {m.mnupopupoptionsupplaylist, Run(options, &PlayOptions::ToggleUpItem)},
            {c.Command18, Run(options, &PlayOptions::ToggleRepeatButton)},
            {c.Command17, Run(options, &PlayOptions::ToggleShuffleButton)},
        },
        options);
}

void WireQueueKeys(Form2& form, Transport* transport)
{
    Form2Controls& c = form.Controls();
    MediaEngine& engine = form.Engine();

    // "1" and "2" run the seek of the seek buttons: ten seconds, refused by
    // the engine outside the clip.
    Seeking* seeking = form.Commands().seeking;
    auto* keys = new FileListKeys(engine,
                                  {[transport] { transport->PlaySelected(); }, [transport] { transport->NextTrack(); },
                                   [seeking] { seeking->SeekBack(); }, [seeking] { seeking->SeekForward(); }},
                                  &form);
    keys->setObjectName(QStringLiteral("FileListKeys"));
    QObject::connect(c.File1, &FileListBox::KeyTyped, keys, &FileListKeys::OnKeyTyped);

    auto* search = new QueueSearch(c.Text1, c.File1, &form);
    search->setObjectName(QStringLiteral("QueueSearch"));
    QObject::connect(c.Text1, &TextBox::Clicked, search, &QueueSearch::OnClicked);
    QObject::connect(c.Text1, &TextBox::FocusLost, search, &QueueSearch::OnFocusLost);
    QObject::connect(c.Text1, &QLineEdit::returnPressed, transport, &Transport::PlaySelected);
}

}  // namespace

void WirePlayback(Form2& form)
{
    Form2Controls& c = form.Controls();
    auto* transport = new Transport({c.File1, c.Label1, c.Playing, c.Total, c.Label4, c.Label2, c.Text1}, form.Engine(),
                                    &form);
    transport->setObjectName(QStringLiteral("Transport"));
    form.Commands().transport = transport;

    WireTransport(form, transport);
    WireEndOfTrack(form, transport);
    WireQueueKeys(form, transport);
}

}  // namespace corvan
