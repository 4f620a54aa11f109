#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>

namespace corvan {

// What a person does to start a command: a click on a click label or a
// button, or the choice of a popup item. The window wires every such
// command as a table of these, one row per control.
struct Trigger {
    QObject* control;
    std::function<void()> command;
};

// A member command of `handler`, as a trigger's command.
template <typename Handler>
std::function<void()> Run(Handler* handler, void (Handler::*command)())
{
    return [handler, command] { (handler->*command)(); };
}

// Connects each row's click or choice to its command, for as long as
// `context` lives.
void ConnectTriggers(std::initializer_list<Trigger> rows, QObject* context);

}  // namespace corvan
