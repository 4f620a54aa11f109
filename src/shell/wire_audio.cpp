#include "shell/form2.h"
#include "shell/wiring.h"

namespace corvan {

void WireAudio(Form2& form)
{
    (void)form;
}

}  // namespace corvan
