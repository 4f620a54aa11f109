"""A drag and drop from another program, as a file manager makes it: the
XDND protocol (version 5) spoken over the X server from a window of our own,
offering "text/uri-list" and dropping it at a point of the screen.
"""

import time

from Xlib import X, Xatom, display
from Xlib.protocol import event

VERSION = 5


def _atom(d, name):
    return d.intern_atom(name)


def drop_uris(display_name, target, x, y, uris, timeout=5.0):
    """Drags `uris` onto the X window `target` (a top-level that says it
    takes drops) at the screen point x, y, and drops them. Returns whether
    the target accepted and finished the drop."""
    d = display.Display(display_name)
    try:
        return _drop(d, d.create_resource_object("window", target), x, y, uris, timeout)
    finally:
        d.close()


def _drop(d, target, x, y, uris, timeout):
    root = d.screen().root
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent, X.InputOnly, X.CopyFromParent)
    selection = _atom(d, "XdndSelection")
    uri_list = _atom(d, "text/uri-list")
    copy = _atom(d, "XdndActionCopy")
    payload = "".join(u + "\r\n" for u in uris).encode()
    source.set_selection_owner(selection, X.CurrentTime)
    d.sync()

    def send(name, data):
        message = event.ClientMessage(window=target, client_type=_atom(d, name),
                                      data=(32, data + [0] * (5 - len(data))))
        target.send_event(message, event_mask=0, propagate=False)
        d.flush()

    send("XdndEnter", [source.id, VERSION << 24, uri_list])
    send("XdndPosition", [source.id, 0, (x << 16) | y, X.CurrentTime, copy])
    accepted = None
    finished = False
    deadline = time.monotonic() + timeout
    dropped = False
    while time.monotonic() < deadline and not finished:
        if not d.pending_events():
            time.sleep(0.01)
            continue
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == _atom(d, "XdndStatus"):
            accepted = bool(e.data[1][1] & 1)
            if accepted and not dropped:
                send("XdndDrop", [source.id, 0, X.CurrentTime])
                dropped = True
            elif not accepted:
                send("XdndLeave", [source.id])
                return False
        elif e.type == X.ClientMessage and e.client_type == _atom(d, "XdndFinished"):
            finished = True
        elif e.type == X.SelectionRequest:
            requestor = e.requestor
            prop = e.property or e.target
            if e.target == uri_list:
                requestor.change_property(prop, uri_list, 8, payload)
            else:
                prop = X.NONE
            notify = event.SelectionNotify(time=e.time, requestor=requestor, selection=e.selection,
                                           target=e.target, property=prop)
            requestor.send_event(notify)
            d.flush()
    source.destroy()
    d.flush()
    return bool(accepted) and finished


__all__ = ["drop_uris", "Xatom"]
