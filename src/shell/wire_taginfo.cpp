#include "shell/form2.h"
#include "shell/triggers.h"
#include "shell/wiring.h"
#include "taginfo/tag_info.h"

namespace corvan {

void WireTagInfo(Form2& form)
{
    Form2Controls& c = form.Controls();
    auto* tagInfo = new TagInfo({c.File1}, form.Engine(), &form);
    tagInfo->setObjectName(QStringLiteral("TagInfo"));

    // "Tray" lies outside the window where no click reaches it; it would
    // minimize the tag window without showing it.
    ConnectTriggers(
        {
            {form.Menu().mnupopuptag, Run(tagInfo, &TagInfo::ShowTagInfo)},
            {c.Label12, Run(tagInfo, &TagInfo::MinimizeTagWindow)},
        },
        tagInfo);
    QObject::connect(&form, &Form2::Unloading, tagInfo, &TagInfo::Unload);
}

}  // namespace corvan
