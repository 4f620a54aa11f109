#pragma once

#include "desktop/open_plan.h"

namespace corvan {

class Form2;

// Carries out `plan` in the window, through its own controls: a folder
// comes into view in the browse layout; a file of it then starts as a
// double-click on it would; a playlist fills List1 as "Load List" does and
// its first entry plays as a double-click on it would.
void OpenInWindow(Form2& form, const OpenPlan& plan);

}  // namespace corvan
