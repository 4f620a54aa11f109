#include "shell/shell_log.h"

namespace corvan {

Q_LOGGING_CATEGORY(lcShell, "corvan.shell", QtInfoMsg)

}  // namespace corvan
