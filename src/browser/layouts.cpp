#include "browser/layouts.h"

#include "browser/file_list_box.h"

namespace corvan {

void ShowFileListLayout(const LayoutControls& c)
{
    c.Drive1->hide();
    c.Dir1->hide();
    c.File1->setGeometry(25, 60, 355, c.File1->height());
}

}  // namespace corvan
