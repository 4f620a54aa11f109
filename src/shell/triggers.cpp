#include "shell/triggers.h"

#include "shell/shell_log.h"
#include "shell/widgets.h"

#include <QAbstractButton>
#include <QAction>

namespace corvan {

void ConnectTriggers(std::initializer_list<Trigger> rows, QObject* context)
{
    for (const Trigger& row : rows) {
        if (auto* action = qobject_cast<QAction*>(row.control))
            QObject::connect(action, &QAction::triggered, context, row.command);
        else if (auto* label = qobject_cast<ClickLabel*>(row.control))
            QObject::connect(label, &ClickLabel::Clicked, context, row.command);
        else if (auto* button = qobject_cast<QAbstractButton*>(row.control))
            QObject::connect(button, &QAbstractButton::clicked, context, row.command);
        else
            qCWarning(lcShell) << "not a control that can be clicked or chosen:" << row.control;
    }
}

}  // namespace corvan
