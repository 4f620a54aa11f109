#include "shell/form2.h"
#include "shell/wiring.h"
#include "taginfo/tag_info.h"

namespace corvan {

void WireTagInfo(Form2& form)
{
    Form2Controls& c = form.Controls();
    auto* tagInfo = new TagInfo({c.File1}, form.Engine(), &form);
    tagInfo->setObjectName(QStringLiteral("TagInfo"));

    QObject::connect(form.Menu().mnupopuptag, &QAction::triggered, tagInfo, &TagInfo::ShowTagInfo);
    // "Tray" lies outside the window where no click reaches it; it would
    // minimize the tag window without showing it.
    QObject::connect(c.Label12, &ClickLabel::Clicked, tagInfo, &TagInfo::MinimizeTagWindow);
    QObject::connect(&form, &Form2::Unloading, tagInfo, &TagInfo::Unload);
}

}  // namespace corvan
