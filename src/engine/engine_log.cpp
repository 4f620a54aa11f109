#include "engine/engine_log.h"

namespace corvan {

Q_LOGGING_CATEGORY(lcEngine, "corvan.engine", QtInfoMsg)

}  // namespace corvan
