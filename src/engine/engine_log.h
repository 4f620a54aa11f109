#pragma once

#include <QLoggingCategory>

namespace corvan {

// What the engine has to say: warnings on stderr; its debug detail is off
// unless QT_LOGGING_RULES turns "corvan.engine.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcEngine)

}  // namespace corvan
