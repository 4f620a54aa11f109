#pragma once

#include <QLoggingCategory>

namespace corvan {

// What the browser has to say: warnings on stderr; its debug detail is off
// unless QT_LOGGING_RULES turns "corvan.browser.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

}  // namespace corvan
