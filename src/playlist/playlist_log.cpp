#include "playlist/playlist_log.h"

namespace corvan {

Q_LOGGING_CATEGORY(lcPlaylist, "corvan.playlist", QtInfoMsg)

}  // namespace corvan
