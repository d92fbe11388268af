// Nivu's bridge inside GNOME Shell: the shell's signals, geometry, accelerators and top bar for
// the compositor core (resources/compositor/core.js), which comes before this file, and the bus
// link to each program of Nivu's. Reports are calls of report(json) on a program's service,
// commands the replies to nextCommands(), which Nivu holds back until it has one. Only Nivu's own
// service (org.nivu.Nivu) is asked for commands; nivu-inspect's services (org.nivu.Inspect…) get
// the reports alone. An entry file for the shell's kind of extension follows this one and hands
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
        this._bridge.forget(this);
    }

    // Hello, then every window there is and the active one.
    sendAll() {
        for (const fact of this._bridge.snapshot())
            this.report(fact);
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
        this._clients = new Map(); // service name -> BridgeClient
        this._core = new CompositorCore(this._side());
        this._windows = new Set(); // the windows whose signals reach the core
        this._timers = new Set(); // GLib sources of the core's
        this._nameWatch = 0;
        this._watchingPointer = false;
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

    // Signal pairs of an object, each handler guarded, kept until the object's disconnectObject.
    _connect(object, ...pairs) {
        const guarded = [];
        for (let i = 0; i < pairs.length; i += 2) {
            const [signal, handler] = [pairs[i], pairs[i + 1]];
            guarded.push(signal, (...args) => this.guard(signal, () => handler(...args)));
        }
        object.connectObject(...guarded, this);
    }

    enable() {
        const {Gio} = this.lib;
        this._connect(global.display,
            'window-created', (_display, window) => this._created(window, false),
            'notify::focus-window', () => this._core.focusChanged(),
            'grab-op-begin', (_display, window) => this._grabBegan(window),
            'grab-op-end', () => this._grabEnded(),
            'accelerator-activated', (_display, action) => this._accelerator(action));
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
            client.report(Reports.goodbye());
            client.stop();
        }
        this._clients.clear();
        global.display.disconnectObject(this);
        for (const window of this._windows)
            window.disconnectObject(this);
        this._windows.clear();
        this._watchPointer(false);
        this._core.stop();
        for (const source of this._timers)
            GLib.source_remove(source);
        this._timers.clear();
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

    snapshot() {
        return this._core.snapshot();
    }

    apply(client, command) {
        this._core.apply(client, command);
        // A window of Nivu's may have its title before the shell has its place: the window of
        // that title only, as a place comes at each step of a drag.
        if (command && command.command === 'place') {
            for (const window of this._windows) {
                if (window.get_title() === command.title)
                    this._spareEffects(window);
            }
        }
    }

    // A program of Nivu's has gone: its shortcuts, its placements and its menu with it.
    forget(client) {
        for (const number of [...client.shortcuts.keys()])
            this._releaseShortcut(client, number);
        this._core.forget(client);
        this._showMenu(client, []);
    }

    // --- Windows --------------------------------------------------------------------------

    _created(window, existing) {
        const core = this._core;
        if (this._windows.has(window))
            return;
        this._windows.add(window);
        this._connect(window,
            'unmanaged', () => {
                window.disconnectObject(this);
                this._windows.delete(window);
                core.removed(window);
            },
            'shown', () => core.shown(window),
            'size-changed', () => core.changed(window),
            'position-changed', () => core.changed(window),
            'notify::title', () => {
                this._spareEffects(window); // the title comes before the first frame
                core.retitled(window);
            },
            'unmanaging', () => this._spareEffects(window));
        core.added(window, existing, existing && !window.is_hidden());
    }

    // Where the shell animates, it eases a new window in from a speck and fades a closing one
    // out, each over some 150 ms. Nivu's badge and menu show and go at once: the badge would
    // start unreadable, and the last drag's size fade out beside the new one.
    _spareEffects(window) {
        const actor = window.get_compositor_private();
        if (actor && this._core.isOwn(window))
            this.lib.Main.wm.skipNextEffect(actor);
    }

    _grabBegan(window) {
        this._core.grabBegan(window);
        this._watchPointer(this._core.dragging());
    }

    _grabEnded() {
        this._watchPointer(false);
        this._core.grabEnded();
    }

    // During a drag Nivu's windows that follow the pointer are placed at each of its moves,
    // before the shell draws the frame that shows it.
    _watchPointer(on) {
        if (on === this._watchingPointer)
            return;
        this._watchingPointer = on;
        const {Meta} = this.lib;
        const cursor = global.backend && global.backend.get_cursor_tracker
            ? global.backend.get_cursor_tracker() : Meta.CursorTracker.get_for_display(global.display);
        if (on)
            this._connect(cursor, 'position-invalidated', () => this._core.pointerMoved());
        else
            cursor.disconnectObject(this);
    }

    _pointer() {
        const [x, y] = global.get_pointer();
        return {x, y};
    }

    // What the core asks of the shell.
    _side() {
        const {GLib, Main, Meta} = this.lib;
        const isX11 = window => window.get_client_type() === Meta.WindowClientType.X11;
        return {
            id: window => String(window.get_id()),
            facts: window => {
                const type = window.get_window_type();
                return {
                    app: window.get_gtk_application_id() || window.get_wm_class() || '',
                    role: (isX11(window) && window.get_role()) || '',
                    pid: Math.max(0, window.get_pid()),
                    normal: type === Meta.WindowType.NORMAL,
                    dialog: type === Meta.WindowType.DIALOG || type === Meta.WindowType.MODAL_DIALOG,
                    resizable: window.allows_resize(),
                };
            },
            title: window => window.get_title(),
            pid: window => window.get_pid(),
            frame: window => {
                const rect = window.get_frame_rect();
                return {x: rect.x, y: rect.y, width: rect.width, height: rect.height};
            },
            // What the program shows: a Wayland window's frame, without the shadow of a program
            // that draws its own; an X11 window's client area, without the title bar the shell
            // draws.
            clientSize: window => {
                let rect = window.get_frame_rect();
                if (isX11(window))
                    rect = window.frame_rect_to_client_rect(rect);
                return {width: rect.width, height: rect.height};
            },
            workArea: window => window.get_work_area_current_monitor(),
            canSize: window => Boolean(window.get_compositor_private()) && window.allows_resize(),
            pointer: () => this._pointer(),
            monitors: () => {
                const display = global.display, areas = [];
                for (let i = 0; i < display.get_n_monitors(); ++i)
                    areas.push(display.get_monitor_geometry(i));
                const primary = display.get_primary_monitor(); // where no other holds a point
                return primary < 0 ? areas : [areas[primary], ...areas.filter((_area, i) => i !== primary)];
            },
            focused: () => global.display.focus_window,
            send: fact => {
                for (const client of [...this._clients.values()])
                    client.report(fact);
            },
            setFrame: (window, rect) => window.move_resize_frame(true, rect.x, rect.y, rect.width, rect.height),
            moveFrame: (window, x, y) => window.move_frame(false, x, y),
            keepOwn: window => window.make_above(),
            // With a fresh server timestamp: with the time of the event being handled
            // (global.get_current_time()) the shell refused a new menu the keyboard every time.
            activate: window => window.activate(global.display.get_current_time_roundtrip()),
            later: task => this._timer('later', task, run => GLib.idle_add(GLib.PRIORITY_DEFAULT, run)),
            // The shell does not send an unchanged size again: the size is asked for again by
            // way of one a pixel smaller. Not while the overview hides the window (Qt passes
            // over sizes then).
            nudge: (window, frame, target) => {
                if (Main.overview.visible)
                    return;
                window.move_resize_frame(true, frame.x, frame.y, target.width, target.height - 1);
                window.move_resize_frame(true, frame.x, frame.y, target.width, target.height);
            },
            after: (ms, task) => this._timer('size check', task,
                run => GLib.timeout_add(GLib.PRIORITY_DEFAULT, ms, run)),
            cancel: source => {
                if (this._timers.delete(source))
                    GLib.source_remove(source);
            },
            grabShortcut: (client, number, keys) => this._grabShortcut(client, number, keys),
            releaseShortcut: (client, number) => this._releaseShortcut(client, number),
            showMenu: (client, entries) => this._showMenu(client, entries),
        };
    }

    // A GLib source that runs the task once, guarded, and is removed at disable if still due.
    _timer(what, task, add) {
        const source = add(() => {
            this._timers.delete(source);
            this.guard(what, task);
            return this.lib.GLib.SOURCE_REMOVE;
        });
        this._timers.add(source);
        return source;
    }

    // --- The status menu --------------------------------------------------------------------

    // Nivu's menu under its icon in the top bar, where no tray shows it; no entries: none. A
    // chosen entry is reported by its place in the entries, and Nivu acts on it.
    _showMenu(client, entries) {
        const {Gio, St, Main, PanelMenu, PopupMenu} = this.lib;
        if (client.panelButton) {
            client.panelButton.destroy();
            client.panelButton = null;
        }
        if (entries.length === 0)
            return;
        const button = new PanelMenu.Button(0.0, 'Nivu', false);
        button.add_child(new St.Icon({
            gicon: Gio.FileIcon.new(Gio.File.new_for_path(`${this.lib.path}/icon.svg`)),
            style_class: 'system-status-icon',
        }));
        // As Qt's menus: no separator first, last or twice in a row.
        let separator = false, items = 0;
        entries.forEach((entry, index) => {
            if (entry.hidden)
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
            this._connect(item, 'activate', () => client.report(Reports.menu(index)));
            button.menu.addMenuItem(item);
            ++items;
        });
        Main.panel.addToStatusArea('nivu', button);
        client.panelButton = button;
    }

    // --- Hot keys -----------------------------------------------------------------------------

    _grabShortcut(client, number, keys) {
        const {Meta, Shell, Main} = this.lib;
        this._releaseShortcut(client, number);
        const action = global.display.grab_accelerator(keys, Meta.KeyBindingFlags.NONE);
        if (!action) {
            client.report(Reports.refused(number));
            return;
        }
        Main.wm.allowKeybinding(Meta.external_binding_name_for_action(action),
            Shell.ActionMode.NORMAL | Shell.ActionMode.OVERVIEW);
        client.shortcuts.set(number, {keys, action});
    }

    _releaseShortcut(client, number) {
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
                    client.report(Reports.hotkey(number, this._pointer()));
            }
        }
    }
};
