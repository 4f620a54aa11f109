#pragma once

#include <QLoggingCategory>

namespace corvan {

// What the playlist has to say: warnings on stderr; its debug detail is off
// unless QT_LOGGING_RULES turns "corvan.playlist.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcPlaylist)

}  // namespace corvan
