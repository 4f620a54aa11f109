#include "desktop/desktop_log.h"

namespace corvan {

Q_LOGGING_CATEGORY(lcDesktop, "corvan.desktop", QtInfoMsg)

}  // namespace corvan
