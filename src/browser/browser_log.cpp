#include "browser/browser_log.h"

namespace corvan {

Q_LOGGING_CATEGORY(lcBrowser, "corvan.browser", QtInfoMsg)

}  // namespace corvan
