// Nivu's bridge inside GNOME Shell: reports window facts to Nivu and applies its commands. It
// decides nothing; Nivu does. It speaks the protocol of Nivu's KWin script: reports are calls of
// report(json) on Nivu's service, commands are the replies to nextCommands(), which Nivu holds
// back until it has one. Only Nivu's own service (org.nivu.Nivu) is asked for commands;
// nivu-inspect's services (org.nivu.Inspect…) get the reports alone.
// This file is the body; an entry file for the shell's kind of extension follows it and hands
// it the shell's modules.

const BRIDGE_PATH = '/Bridge';
const BRIDGE_INTERFACE = 'org.nivu.Bridge';
const COMMANDING_SERVICE = 'org.nivu.Nivu';
const REPORTING_PREFIX = 'org.nivu.Inspect';
// A fetch waits until Nivu has a command, however long (G_MAXINT: no timeout): no wake-up while
// idle. Nivu's end going away ends it.
const FETCH_TIMEOUT_MS = 2147483647;
// A client that cannot take a report yet (it is still starting) hears everything again then.
const RESYNC_DELAY_MS = 1000;
// A size a program has not taken is asked for again, this often and this many times.
const SIZE_CHECK_MS = 250;
const SIZE_CHECKS = 20;

function isNivuService(name) {
    return name === COMMANDING_SERVICE || name.startsWith(REPORTING_PREFIX);
}

// One program of Nivu's on the bus, by its service name.
class BridgeClient {
    constructor(bridge, name) {
        this._bridge = bridge;
        this._name = name;
        this._commands = name === COMMANDING_SERVICE;
        this._cancellable = new bridge.lib.Gio.Cancellable();
        this._resend = 0; // everything reported again, after a refused report
        this._refetch = 0; // commands fetched again, after a failed fetch
        this.shortcuts = new Map(); // Nivu's number -> {keys, action}
        this.placements = new Map(); // title -> {pid, x, y, focus, beside}
        this.panelButton = null; // its status menu in the top bar
    }

    start() {
        this.sendAll();
        if (this._commands)
            this._fetch();
    }

    stop() {
        this._cancellable.cancel();
        for (const source of [this._resend, this._refetch]) {
            if (source)
                this._bridge.lib.GLib.source_remove(source);
        }
        this._resend = this._refetch = 0;
        for (const number of [...this.shortcuts.keys()])
            this._bridge.ungrab(this, number);
        this.placements.clear();
        this._bridge.showMenu(this, []);
    }

    // Hello, then every window there is and the active one.
    sendAll() {
        this.report({report: 'hello'});
        for (const tracked of [...this._bridge.windows.values()])
            this.report(this._bridge.windowFact(tracked, true));
        const active = this._bridge.activeId();
        if (active !== null)
            this.report({report: 'active', id: active});
    }

    report(fact) {
        const {Gio, GLib} = this._bridge.lib;
        Gio.DBus.session.call(this._name, BRIDGE_PATH, BRIDGE_INTERFACE, 'report',
            new GLib.Variant('(s)', [JSON.stringify(fact)]), null, Gio.DBusCallFlags.NO_AUTO_START,
            -1, this._cancellable, (connection, result) => {
                try {
                    connection.call_finish(result);
                } catch (e) {
                    this._refused(e);
                }
            });
    }

    _refused(error) {
        const {Gio, GLib} = this._bridge.lib;
        if (this._cancellable.is_cancelled() || error.matches(Gio.IOErrorEnum, Gio.IOErrorEnum.CANCELLED))
            return;
        // Not taken (Nivu is not ready for this shell's calls yet): everything again, later.
        if (!this._resend) {
            this._resend = GLib.timeout_add(GLib.PRIORITY_DEFAULT, RESYNC_DELAY_MS, () => {
                this._resend = 0;
                this._bridge.guard('resync', () => this.sendAll());
                return GLib.SOURCE_REMOVE;
            });
        }
    }

    _fetch() {
        const {Gio, GLib} = this._bridge.lib;
        Gio.DBus.session.call(this._name, BRIDGE_PATH, BRIDGE_INTERFACE, 'nextCommands', null,
            new GLib.VariantType('(s)'), Gio.DBusCallFlags.NO_AUTO_START, FETCH_TIMEOUT_MS,
            this._cancellable, (connection, result) => {
                if (this._cancellable.is_cancelled())
                    return;
                let delay = 0;
                this._bridge.guard('commands', () => {
                    let reply;
                    try {
                        reply = connection.call_finish(result);
                    } catch (e) {
                        delay = RESYNC_DELAY_MS;
                        return;
                    }
                    const commands = JSON.parse(reply.deep_unpack()[0]);
                    if (Array.isArray(commands)) {
                        for (const command of commands)
                            this._bridge.guard('command', () => this._bridge.apply(this, command));
                    }
                });
                if (delay === 0) {
                    this._fetch();
                } else {
                    this._refetch = this._refetch || GLib.timeout_add(GLib.PRIORITY_DEFAULT, delay, () => {
                        this._refetch = 0;
                        if (!this._cancellable.is_cancelled())
                            this._fetch();
                        return GLib.SOURCE_REMOVE;
                    });
                }
            });
    }
}

var NivuBridge = class NivuBridge {
    constructor(lib) {
        this.lib = lib;
        this.windows = new Map(); // id -> {window, signals, shown}
        this._clients = new Map(); // service name -> BridgeClient
        this._signals = [];
        this._grabbed = null; // the window a user moves or resizes now
        this._pointerWatch = null; // [cursor tracker, signal id] while one is
        this._lastActive = null;
        this._lastFocus = null;
        this._previousActive = null;
        this._sizeChecks = new Map(); // id -> GLib source
        this._refocus = 0;
        this._nameWatch = 0;
    }

    // Every handler runs through here: an error is logged and goes no further.
    guard(what, body) {
        try {
            return body();
        } catch (e) {
            logError(e, `Nivu: ${what}`);
            return undefined;
        }
    }

    _connect(object, signal, handler) {
        const id = object.connect(signal, (...args) => this.guard(signal, () => handler(...args)));
        this._signals.push([object, id]);
    }

    enable() {
        const {Gio} = this.lib;
        const display = global.display;
        this._connect(display, 'window-created', (_display, window) => this._created(window));
        this._connect(display, 'notify::focus-window', () => this._focusChanged());
        this._connect(display, 'grab-op-begin', (_display, window) => this._grabBegan(window));
        this._connect(display, 'grab-op-end', () => this._grabEnded());
        this._connect(display, 'accelerator-activated', (_display, action) => this._accelerator(action));
        for (const actor of global.get_window_actors())
            this._created(actor.meta_window, true);
        this._nameWatch = Gio.DBus.session.signal_subscribe('org.freedesktop.DBus',
            'org.freedesktop.DBus', 'NameOwnerChanged', '/org/freedesktop/DBus', null,
            Gio.DBusSignalFlags.NONE, (_c, _s, _p, _i, _n, parameters) => this.guard('name', () => {
                const [name, oldOwner, newOwner] = parameters.deep_unpack();
                if (isNivuService(name))
                    this._serviceChanged(name, oldOwner !== '', newOwner !== '');
            }));
        Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
            'ListNames', null, null, Gio.DBusCallFlags.NONE, -1, null, (connection, result) =>
                this.guard('names', () => {
                    if (!this._nameWatch)
                        return;
                    for (const name of connection.call_finish(result).deep_unpack()[0]) {
                        if (isNivuService(name) && !this._clients.has(name))
                            this._serviceChanged(name, false, true);
                    }
                }));
    }

    disable() {
        const {Gio, GLib} = this.lib;
        if (this._nameWatch)
            Gio.DBus.session.signal_unsubscribe(this._nameWatch);
        this._nameWatch = 0;
        for (const client of [...this._clients.values()]) {
            client.report({report: 'goodbye'});
            client.stop();
        }
        this._clients.clear();
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        for (const tracked of [...this.windows.values()])
            this._untrack(tracked, false);
        for (const source of this._sizeChecks.values())
            GLib.source_remove(source);
        this._sizeChecks.clear();
        if (this._refocus)
            GLib.source_remove(this._refocus);
        this._refocus = 0;
        this._setGrabbed(null);
        this._lastActive = null;
        this._lastFocus = null;
        this._previousActive = null;
    }

    _serviceChanged(name, hadOwner, hasOwner) {
        const old = this._clients.get(name);
        if (old && (hadOwner || !hasOwner)) {
            this._clients.delete(name);
            old.stop();
        }
        if (hasOwner) {
            const client = new BridgeClient(this, name);
            this._clients.set(name, client);
            client.start();
        }
    }

    _broadcast(fact) {
        for (const client of [...this._clients.values()])
            client.report(fact);
    }

    // --- Windows --------------------------------------------------------------------------

    // A window is reported once it is shown: before, a Wayland window has no class, title or
    // size, and sizing it may take the shell down.
    _created(window, existing = false) {
        const id = String(window.get_id());
        if (this.windows.has(id))
            return;
        const tracked = {window, id, signals: [], shown: false, existing};
        this.windows.set(id, tracked);
        const on = (signal, handler) => tracked.signals.push(
            window.connect(signal, (...args) => this.guard(signal, () => handler(...args))));
        on('unmanaged', () => this._untrack(tracked, true));
        on('size-changed', () => this._sizeChanged(tracked));
        on('position-changed', () => this._moved(tracked));
        on('notify::title', () => this._placeIfOwn(tracked));
        if (existing && !window.is_hidden()) {
            this._shown(tracked);
        } else {
            on('shown', () => this._shown(tracked));
        }
    }

    _shown(tracked) {
        if (tracked.shown)
            return;
        tracked.shown = true;
        if (this._placeIfOwn(tracked))
            return;
        tracked.size = this._clientSize(tracked.window);
        this._broadcast(this.windowFact(tracked, tracked.existing));
        if (tracked.window === global.display.focus_window)
            this._focusChanged();
    }

    _untrack(tracked, report) {
        this.windows.delete(tracked.id);
        for (const id of tracked.signals)
            tracked.window.disconnect(id);
        tracked.signals = [];
        const check = this._sizeChecks.get(tracked.id);
        if (check) {
            this.lib.GLib.source_remove(check);
            this._sizeChecks.delete(tracked.id);
        }
        if (this._grabbed === tracked)
            this._setGrabbed(null);
        if (this._lastActive === tracked.window)
            this._lastActive = null;
        if (this._lastFocus === tracked.window)
            this._lastFocus = null;
        if (this._previousActive === tracked.window)
            this._previousActive = null;
        if (report && tracked.shown && !tracked.own)
            this._broadcast({report: 'closed', id: tracked.id});
    }

    // What the program shows: a Wayland window's frame, without the shadow of a program that
    // draws its own; an X11 window's client area, without the title bar the shell draws.
    _clientSize(window) {
        let rect = window.get_frame_rect();
        if (window.get_client_type() === this.lib.Meta.WindowClientType.X11)
            rect = window.frame_rect_to_client_rect(rect);
        return {width: rect.width, height: rect.height};
    }

    windowFact(tracked, existing) {
        const {Meta} = this.lib;
        const window = tracked.window;
        const type = window.get_window_type();
        const size = tracked.size || this._clientSize(window);
        const x11 = window.get_client_type() === Meta.WindowClientType.X11;
        return {
            report: 'window', id: tracked.id,
            app: window.get_gtk_application_id() || window.get_wm_class() || '',
            role: (x11 && window.get_role()) || '',
            pid: Math.max(0, window.get_pid()),
            width: size.width, height: size.height,
            normal: type === Meta.WindowType.NORMAL,
            dialog: type === Meta.WindowType.DIALOG || type === Meta.WindowType.MODAL_DIALOG,
            resizable: window.allows_resize(),
            existing,
        };
    }

    _pointer() {
        const [x, y] = global.get_pointer();
        return {x, y};
    }

    _sizeChanged(tracked) {
        if (!tracked.shown)
            return;
        if (tracked.own) {
            this._place(tracked); // a badge with new text keeps to its point
            return;
        }
        const size = this._clientSize(tracked.window);
        if (tracked.size && size.width === tracked.size.width && size.height === tracked.size.height)
            return;
        tracked.size = size;
        this._broadcast({report: 'size', id: tracked.id, ...size, ...this._pointer()});
        if (this._grabbed === tracked)
            this._broadcast({report: 'drag', id: tracked.id, ...this._pointer()});
    }

    _moved(tracked) {
        if (this._grabbed === tracked && !tracked.own)
            this._broadcast({report: 'drag', id: tracked.id, ...this._pointer()});
    }

    _grabBegan(window) {
        const tracked = window && this.windows.get(String(window.get_id()));
        this._setGrabbed(tracked && tracked.shown && !tracked.own ? tracked : null);
    }

    _grabEnded() {
        const tracked = this._grabbed;
        this._setGrabbed(null);
        if (tracked && this.windows.has(tracked.id))
            this._broadcast({report: 'up', id: tracked.id, ...this._pointer()});
    }

    activeId() {
        const window = global.display.focus_window;
        const tracked = window && this.windows.get(String(window.get_id()));
        return tracked && tracked.shown && !tracked.own ? tracked.id : null;
    }

    // A window that loses the focus reports nothing; the next one that takes it reports.
    _focusChanged() {
        const window = global.display.focus_window;
        if (!window)
            return;
        const tracked = this.windows.get(String(window.get_id()));
        if (tracked && !tracked.shown)
            return; // told again once shown, and known for Nivu's own or not
        if (tracked && tracked.own) {
            if (tracked.placement.focus)
                this._lastFocus = window;
            else
                this._giveFocusBack();
            return;
        }
        this._lastFocus = window;
        if (window !== this._lastActive)
            [this._previousActive, this._lastActive] = [this._lastActive, window];
        const id = this.activeId();
        if (id !== null)
            this._broadcast({report: 'active', id});
    }

    // Once the shell's own focus change is over: within it, it does not hold. Only from one of
    // Nivu's windows that does not take the focus: a menu of Nivu's may have it by then.
    _giveFocusBack() {
        const {GLib} = this.lib;
        if (this._refocus)
            return;
        this._refocus = GLib.idle_add(GLib.PRIORITY_DEFAULT, () => {
            this._refocus = 0;
            this.guard('refocus', () => {
                const focus = global.display.focus_window;
                const holder = focus && this.windows.get(String(focus.get_id()));
                if (focus && !(holder && holder.own && !holder.placement.focus))
                    return;
                // To a menu of Nivu's that had it, else to the window it measures.
                const last = [this._lastFocus, this._lastActive].find(w => {
                    const held = w && this.windows.get(String(w.get_id()));
                    return held && !(held.own && !held.placement.focus);
                });
                if (last)
                    last.activate(global.get_current_time());
            });
            return GLib.SOURCE_REMOVE;
        });
    }

    // --- Nivu's own windows -----------------------------------------------------------------

    _placementOf(window) {
        const title = window.get_title();
        for (const client of [...this._clients.values()]) {
            const placement = client.placements.get(title);
            if (placement && placement.pid === window.get_pid())
                return placement;
        }
        return null;
    }

    // True for one of Nivu's own windows that it places: kept there and above, not reported.
    _placeIfOwn(tracked) {
        const placement = tracked.shown && this._placementOf(tracked.window);
        if (!placement)
            return false;
        if (!tracked.own) {
            tracked.own = true;
            if (this._lastActive === tracked.window) // it took the focus before it was known
                [this._lastActive, this._previousActive] = [this._previousActive, null];
            this._broadcast({report: 'closed', id: tracked.id}); // reported under another title
        }
        tracked.placement = placement;
        this._place(tracked);
        if (placement.focus && !tracked.focusGiven) {
            // The shell at times maps it without the keyboard. Given once, so that a click
            // elsewhere stands, and with a fresh server timestamp: with the time of the event
            // being handled (global.get_current_time()) the shell refused it every time.
            tracked.focusGiven = true;
            if (tracked.window !== global.display.focus_window)
                tracked.window.activate(global.display.get_current_time_roundtrip());
        }
        // The shell gives a new window the keyboard before it is shown and known as Nivu's: a
        // menu that has it is the one to give it back to once the badge takes it.
        if (tracked.window === global.display.focus_window)
            this._focusChanged();
        return true;
    }

    // While a user moves or resizes a window, Nivu's own windows that follow the pointer are
    // placed at each of its moves, before the shell draws the frame that shows it.
    _setGrabbed(tracked) {
        this._grabbed = tracked;
        if (tracked && !this._pointerWatch) {
            const {Meta} = this.lib;
            const cursor = global.backend && global.backend.get_cursor_tracker
                ? global.backend.get_cursor_tracker() : Meta.CursorTracker.get_for_display(global.display);
            const id = cursor.connect('position-invalidated', () => this.guard('pointer', () => this._placeOwn()));
            this._pointerWatch = [cursor, id];
        } else if (!tracked && this._pointerWatch) {
            const [cursor, id] = this._pointerWatch;
            this._pointerWatch = null;
            cursor.disconnect(id);
        }
    }

    _placeOwn() {
        for (const tracked of [...this.windows.values()]) {
            if (tracked.own)
                this._place(tracked);
        }
    }

    // Inside its monitor: what has no room below the point goes above it. One that follows the
    // pointer during a drag sits beside it, on its other side where the monitor ends.
    _place(tracked) {
        const window = tracked.window;
        const placement = this._placementOf(window) || tracked.placement;
        const frame = window.get_frame_rect();
        let {x, y} = placement;
        let area;
        if (this._grabbed && placement.beside !== undefined) {
            const pointer = this._pointer();
            area = this._monitorAt(pointer.x, pointer.y);
            const beside = placement.beside;
            x = pointer.x + beside + frame.width <= area.x + area.width
                ? pointer.x + beside : pointer.x - beside - frame.width;
            y = pointer.y + beside + frame.height <= area.y + area.height
                ? pointer.y + beside : pointer.y - beside - frame.height;
        } else {
            area = this._monitorAt(x, y);
        }
        x = Math.max(area.x, Math.min(x, area.x + area.width - frame.width));
        y = y + frame.height <= area.y + area.height ? y : Math.max(area.y, y - frame.height);
        window.make_above();
        if (frame.x !== x || frame.y !== y)
            window.move_frame(false, x, y);
    }

    _monitorAt(x, y) {
        const display = global.display;
        for (let i = 0; i < display.get_n_monitors(); ++i) {
            const area = display.get_monitor_geometry(i);
            if (x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height)
                return area;
        }
        return display.get_monitor_geometry(display.get_primary_monitor());
    }

    // --- Commands -----------------------------------------------------------------------------

    apply(client, command) {
        if (!command || typeof command !== 'object')
            return;
        switch (command.command) {
        case 'size':
            this._size(String(command.id), Number(command.width), Number(command.height));
            return;
        case 'place':
            this._setPlacement(client, command);
            return;
        case 'shortcut':
            this._grab(client, Number(command.shortcut), String(command.keys));
            return;
        case 'unshortcut':
            this.ungrab(client, Number(command.shortcut));
            return;
        case 'menu':
            this.showMenu(client, command.entries);
        }
    }

    _setPlacement(client, command) {
        const at = command.atPointer ? this._pointer() : command;
        client.placements.set(String(command.title), {
            pid: Number(command.pid), x: Math.round(Number(at.x)),
            y: Math.round(Number(at.y)), focus: !!command.focus,
            beside: Number.isFinite(command.besidePointer) ? Math.round(command.besidePointer) : undefined,
        });
        for (const tracked of [...this.windows.values()])
            this._placeIfOwn(tracked);
    }

    // The client area takes the size, inside the work area; the frame keeps its top left where
    // the window still fits, and moves just enough where not.
    _size(id, width, height) {
        const tracked = this.windows.get(id);
        if (!tracked || !tracked.shown || tracked.own || !(width >= 1 && height >= 1))
            return;
        const window = tracked.window;
        if (!window.get_compositor_private() || !window.allows_resize())
            return;
        const target = this._frameFor(window, width, height);
        window.move_resize_frame(true, target.x, target.y, target.width, target.height);
        this._checkSize(tracked, target, SIZE_CHECKS);
    }

    _frameFor(window, width, height) {
        const frame = window.get_frame_rect();
        const client = this._clientSize(window);
        const area = window.get_work_area_current_monitor();
        const w = Math.min(Math.round(width) + frame.width - client.width, area.width);
        const h = Math.min(Math.round(height) + frame.height - client.height, area.height);
        const x = Math.max(area.x, Math.min(frame.x, area.x + area.width - w));
        const y = Math.max(area.y, Math.min(frame.y, area.y + area.height - h));
        return {x, y, width: w, height: h};
    }

    // A program may pass over the first size it is given (Qt does, at times, and always while
    // the overview hides its window). The shell does not send an unchanged size again, so the
    // size is asked for again by way of one a pixel smaller.
    _checkSize(tracked, target, checksLeft) {
        const {GLib, Main} = this.lib;
        const old = this._sizeChecks.get(tracked.id);
        if (old)
            GLib.source_remove(old);
        this._sizeChecks.set(tracked.id, GLib.timeout_add(GLib.PRIORITY_DEFAULT, SIZE_CHECK_MS, () => {
            this._sizeChecks.delete(tracked.id);
            this.guard('size check', () => {
                const window = tracked.window;
                if (!this.windows.has(tracked.id) || this._grabbed === tracked)
                    return;
                const frame = window.get_frame_rect();
                if (frame.width === target.width && frame.height === target.height)
                    return;
                if (checksLeft <= 1)
                    return;
                if (!Main.overview.visible) {
                    window.move_resize_frame(true, frame.x, frame.y, target.width, target.height - 1);
                    window.move_resize_frame(true, frame.x, frame.y, target.width, target.height);
                }
                this._checkSize(tracked, target, checksLeft - 1);
            });
            return GLib.SOURCE_REMOVE;
        }));
    }

    // --- The status menu --------------------------------------------------------------------

    // Nivu's menu under its icon in the top bar, where no tray shows it; no entries: none. A
    // chosen entry is reported by its place in the entries, and Nivu acts on it.
    showMenu(client, entries) {
        const {Gio, St, Main, PanelMenu, PopupMenu} = this.lib;
        if (client.panelButton) {
            client.panelButton.destroy();
            client.panelButton = null;
        }
        if (!Array.isArray(entries) || entries.length === 0)
            return;
        const button = new PanelMenu.Button(0.0, 'Nivu', false);
        button.add_child(new St.Icon({
            gicon: Gio.FileIcon.new(Gio.File.new_for_path(`${this.lib.path}/icon.svg`)),
            style_class: 'system-status-icon',
        }));
        // As Qt's menus: no separator first, last or twice in a row.
        let separator = false, items = 0;
        entries.forEach((entry, index) => {
            if (!entry || typeof entry !== 'object' || entry.hidden)
                return;
            if (entry.separator) {
                separator = items > 0;
                return;
            }
            if (separator)
                button.menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
            separator = false;
            const item = new PopupMenu.PopupMenuItem(String(entry.title));
            item.setSensitive(entry.enabled !== false);
            item.connect('activate', () => this.guard('menu', () => client.report({report: 'menu', entry: index})));
            button.menu.addMenuItem(item);
            ++items;
        });
        Main.panel.addToStatusArea('nivu', button);
        client.panelButton = button;
    }

    // --- Hot keys -----------------------------------------------------------------------------

    _grab(client, number, keys) {
        const {Meta, Shell, Main} = this.lib;
        this.ungrab(client, number);
        const action = global.display.grab_accelerator(keys, Meta.KeyBindingFlags.NONE);
        if (!action) {
            client.report({report: 'refused', shortcut: number});
            return;
        }
        Main.wm.allowKeybinding(Meta.external_binding_name_for_action(action),
            Shell.ActionMode.NORMAL | Shell.ActionMode.OVERVIEW);
        client.shortcuts.set(number, {keys, action});
    }

    ungrab(client, number) {
        const {Meta, Shell, Main} = this.lib;
        const shortcut = client.shortcuts.get(number);
        if (!shortcut)
            return;
        client.shortcuts.delete(number);
        Main.wm.allowKeybinding(Meta.external_binding_name_for_action(shortcut.action),
            Shell.ActionMode.NONE);
        global.display.ungrab_accelerator(shortcut.action);
    }

    _accelerator(action) {
        for (const client of [...this._clients.values()]) {
            for (const [number, shortcut] of [...client.shortcuts]) {
                if (shortcut.action === action)
                    client.report({report: 'hotkey', shortcut: number, ...this._pointer()});
            }
        }
    }
};
