#pragma once

#include <QLoggingCategory>

namespace corvan {

// What the desktop integration has to say: warnings on stderr; its debug
// detail is off unless QT_LOGGING_RULES turns "corvan.desktop.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)

}  // namespace corvan
