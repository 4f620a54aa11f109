#pragma once

#include <QLoggingCategory>

namespace corvan {

// What the shell has to say: warnings on stderr; its debug detail is off
// unless QT_LOGGING_RULES turns "corvan.shell.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcShell)

}  // namespace corvan
