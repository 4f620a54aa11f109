#include "browser/layouts.h"
#include "playback/transport.h"
#include "shell/form2.h"
#include "shell/wiring.h"

namespace corvan {

void WirePlayback(Form2& form)
{
    Form2Controls& c = form.Controls();
    auto* transport = new Transport({c.File1, c.Label1, c.Playing, c.Total, c.Label4, c.Label2, c.Text1},
                                    form.Engine(), &form);
    transport->setObjectName(QStringLiteral("Transport"));

    const LayoutControls layout{c.Drive1, c.Dir1, c.File1, c.List1, c.Combo1, c.Check5, c.Command21};
    QObject::connect(c.File1, &FileListBox::DoubleClicked, transport, [transport, layout] {
        transport->StartFromFileList();
        ShowFileListLayout(layout);
    });
}

}  // namespace corvan
