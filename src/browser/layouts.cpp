#include "browser/layouts.h"

#include "browser/file_list_box.h"

namespace corvan {

namespace {

void Widen(QWidget* w)
{
    w->setGeometry(kWideLeft, kWideTop, kWideWidth, w->height());
}

}  // namespace

void ShowFileListLayout(const LayoutControls& c)
{
    c.Drive1->hide();
    c.Dir1->hide();
    Widen(c.File1);
}

void ToggleSearchView(const LayoutControls& c)
{
    if (!c.File1->isHidden()) {
        c.File1->hide();
        for (QWidget* w : {c.List1, c.Check5, c.Combo1, c.Dir1, c.Drive1, c.Command21})
            w->show();
        return;
    }
    c.File1->show();
    for (QWidget* w : {c.Command21, c.Combo1, c.List1, c.Check5})
        w->hide();
    c.File1->setGeometry(kBrowsePlace);
}

void ShowBrowseLayout(const LayoutControls& c)
{
    c.Drive1->show();
    c.Dir1->show();
    c.File1->show();
    for (QWidget* w : {c.List1, c.Combo1, c.Check5, c.Command21})
        w->hide();
    c.File1->setGeometry(kBrowsePlace);
}

void ToggleBrowseView(const LayoutControls& c)
{
    if (c.Drive1->isHidden()) {
        c.Drive1->show();
        c.Dir1->show();
        c.File1->show();
        c.List1->hide();
        c.File1->setGeometry(kBrowsePlace);
        return;
    }
    c.Drive1->hide();
    c.Dir1->hide();
    c.File1->show();
    c.List1->hide();
    Widen(c.File1);
}

}  // namespace corvan
