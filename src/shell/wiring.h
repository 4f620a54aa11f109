#pragma once

namespace corvan {

class Form2;

// Each subsystem attaches its handlers to the window's controls, timers and
// popup items here: which trigger runs which command. One file each.
void WirePlayback(Form2& form);        // wire_playback.cpp
void WireBrowser(Form2& form);         // wire_browser.cpp
void WireAudio(Form2& form);           // wire_audio.cpp
void WirePlaylist(Form2& form);        // wire_playlist.cpp
void WireWindowCommands(Form2& form);  // wire_window.cpp
void WireTagInfo(Form2& form);         // wire_taginfo.cpp

// Audio comes first: the playback keys share its seek.
inline void WireSubsystems(Form2& form)
{
    WireAudio(form);
    WirePlayback(form);
    WireBrowser(form);
    WirePlaylist(form);
    WireWindowCommands(form);
    WireTagInfo(form);
}

}  // namespace corvan
