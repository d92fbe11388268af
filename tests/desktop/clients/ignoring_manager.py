"""A window manager as small as can be that lists _NET_MOVERESIZE_WINDOW and ignores it, as
herbstluftwm 0.9 does, but answers it with a synthetic ConfigureNotify of the unchanged
geometry, as managers send on any move, restack or focus change. The first time a window is
asked, the manager grows it by itself just before, as a manager placing a new window or a program
sizing its first one does when their change crosses the request. It maps and focuses what asks
to be mapped, and takes configure requests as asked."""

from Xlib import X, Xatom, display, protocol

x = display.Display()
root = x.screen().root
atom = x.intern_atom
root.change_attributes(event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
check = root.create_window(-1, -1, 1, 1, 0, X.CopyFromParent, override_redirect=True)
for window in (root, check):
    window.change_property(atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW, 32, [check.id])
check.change_property(atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, b"ignoring")
root.change_property(atom("_NET_SUPPORTED"), Xatom.ATOM, 32, [atom(name) for name in (
    "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW", "_NET_MOVERESIZE_WINDOW")])
clients = []
placed = set()


def publish():
    root.change_property(atom("_NET_CLIENT_LIST"), Xatom.WINDOW, 32, clients)


def activate(window):
    root.change_property(atom("_NET_ACTIVE_WINDOW"), Xatom.WINDOW, 32, [window.id])
    window.set_input_focus(X.RevertToPointerRoot, X.CurrentTime)


while True:
    event = x.next_event()
    if event.type == X.MapRequest:
        event.window.map()
        if event.window.id not in clients:
            clients.append(event.window.id)
            publish()
        activate(event.window)
    elif event.type in (X.UnmapNotify, X.DestroyNotify) and event.window.id in clients:
        clients.remove(event.window.id)
        publish()
    elif event.type == X.ConfigureRequest:
        fields = (("x", X.CWX), ("y", X.CWY), ("width", X.CWWidth), ("height", X.CWHeight))
        event.window.configure(**{name: getattr(event, name) for name, bit in fields if event.value_mask & bit})
    elif event.type == X.ClientMessage and event.client_type == atom("_NET_ACTIVE_WINDOW"):
        activate(event.window)
    elif event.type == X.ClientMessage and event.client_type == atom("_NET_MOVERESIZE_WINDOW"):
        g = event.window.get_geometry()
        if event.window.id not in placed:
            placed.add(event.window.id)
            g.width, g.height = g.width + 24, g.height + 16
            event.window.configure(width=g.width, height=g.height)
        event.window.send_event(protocol.event.ConfigureNotify(
            window=event.window, event=event.window, x=g.x, y=g.y, width=g.width, height=g.height, border_width=0,
            above_sibling=X.NONE, override=False), event_mask=X.StructureNotifyMask)
    x.flush()
