#include "shell/after_exposed.h"
#include "shell/form2.h"
#include "desktop/mpris.h"
#include "shell/wiring.h"

#include <QAction>

namespace corvan {

Mpris* WireMpris(Form2& form)
{
    Form2Controls& c = form.Controls();
    Form2Menu& m = form.Menu();
    auto* mpris = new Mpris(form);

    // The options and the speed are told the moment their controls change.
    // The engine has no signals: its state, the open file's tags and the
    // volume are looked at on the time display's tick, and only a change is
    // told. A speed item's marks are only final once its command has run
    // (Qt's own toggle is undone first): its choice is looked at after that,
    // which the order of wiring (after WireAudio) gives.
    for (QCheckBox* box : {c.Check1, c.Check3})
        QObject::connect(box, &QCheckBox::stateChanged, mpris, &Mpris::Refresh);
    for (QAction* item : {m.mnupopup25, m.mnupopup50, m.mnupopup100, m.mnupopup150, m.mnupopup200})
        QObject::connect(item, &QAction::triggered, mpris, &Mpris::Refresh);
    QObject::connect(&form.Timer1(), &QTimer::timeout, mpris, &Mpris::Refresh);

    return mpris;
}

}  // namespace corvan
