#include "shell/form2.h"
#include "shell/wiring.h"

namespace corvan {

void WireBrowser(Form2& form)
{
    (void)form;
}

}  // namespace corvan
