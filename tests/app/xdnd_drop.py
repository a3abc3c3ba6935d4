#!/usr/bin/env python3
"""Drops files on a window of another X client, as a file manager would: the
XDND protocol (version 5) from a window of our own, the files offered as
text/uri-list.  Exit status 0 when the target took the drop.

    xdnd_drop.py WINDOW-NAME FILE...
"""
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display, protocol


def find(window, name):
    try:
        if window.get_wm_name() == name:
            return window
        for child in window.query_tree().children:
            found = find(child, name)
            if found:
                return found
    except Exception:
        pass
    return None


def main():
    name, files = sys.argv[1], sys.argv[2:]
    d = display.Display()
    root = d.screen().root
    atom = lambda n: d.intern_atom(n)
    target = None
    for _ in range(100):
        target = find(root, name)
        if target:
            break
        time.sleep(0.1)
    if not target:
        sys.exit(f"no window named {name}")
    # The top-level X window that holds it, which announces XDND.
    while target.get_full_property(atom("XdndAware"), X.AnyPropertyType) is None:
        parent = target.query_tree().parent
        if parent == root or parent is None:
            sys.exit("the window takes no drops (no XdndAware)")
        target = parent
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
    uris = "".join("file://" + urllib.parse.quote(f) + "\r\n" for f in files).encode()
    uri_list = atom("text/uri-list")

    def send(kind, data):
        target.send_event(protocol.event.ClientMessage(window=target, client_type=atom(kind),
                                                       data=(32, data)))
        d.flush()

    geometry = target.get_geometry()
    at = root.translate_coords(target, geometry.width // 2, geometry.height // 2)
    x, y = at.x, at.y
    send("XdndEnter", [source.id, 5 << 24, uri_list, 0, 0])
    send("XdndPosition", [source.id, 0, (x << 16) | y, X.CurrentTime, atom("XdndActionCopy")])
    accepted = dropped = finished = False
    deadline = time.time() + 20
    while time.time() < deadline and not finished:
        if not d.pending_events():
            time.sleep(0.02)
            continue
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == atom("XdndStatus"):
            accepted = bool(e.data[1][1] & 1)
            if not dropped:
                dropped = True
                send("XdndDrop", [source.id, 0, X.CurrentTime, 0, 0])
        elif e.type == X.SelectionRequest:
            e.requestor.change_property(e.property, uri_list, 8, uris)
            e.requestor.send_event(protocol.event.SelectionNotify(time=e.time, requestor=e.requestor,
                                                                  selection=e.selection, target=e.target,
                                                                  property=e.property))
            d.flush()
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            finished = True
    print(f"xdnd: accepted={accepted} finished={finished}")
    sys.exit(0 if accepted and finished else 1)


if __name__ == "__main__":
    main()
