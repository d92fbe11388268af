// The compositor side's core, shared by Nivu's KWin script and its GNOME Shell extension: the
// reports it builds, the commands it reads, which windows it reports and when, where Nivu's own
// windows go and what size a window is given. Each compositor joins this file before its own
// adapter, which turns the compositor's signals into the core's events and carries out what the
// core asks through a small "side" object (below). The protocol is docs/bridge-protocol.md.
// It runs in KWin's QJSEngine (Qt 5.15 and later) and in GJS: no modules, no newer syntax.

// The reports, in the protocol's shapes.
const Reports = {
    hello: () => ({report: 'hello'}),
    goodbye: () => ({report: 'goodbye'}),
    window: (id, facts, size, existing) => ({
        report: 'window', id, app: facts.app, role: facts.role, pid: facts.pid,
        width: size.width, height: size.height, normal: facts.normal, dialog: facts.dialog,
        resizable: facts.resizable, existing,
    }),
    size: (id, size, pointer) => ({report: 'size', id, width: size.width, height: size.height,
        x: pointer.x, y: pointer.y}),
    closed: id => ({report: 'closed', id}),
    active: id => ({report: 'active', id}),
    drag: (id, pointer) => ({report: 'drag', id, x: pointer.x, y: pointer.y}),
    up: (id, pointer) => ({report: 'up', id, x: pointer.x, y: pointer.y}),
    hotkey: (shortcut, pointer) => ({report: 'hotkey', shortcut, x: pointer.x, y: pointer.y}),
    refused: shortcut => ({report: 'refused', shortcut}),
    menu: entry => ({report: 'menu', entry}),
};

// A size a program has not taken is asked for again, this often and this many times.
const SIZE_CHECK_MS = 250;
const SIZE_CHECKS = 20;

function containsPoint(area, x, y) {
    return x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
}

// The monitor at a point, else the first of the list.
function monitorAt(monitors, x, y) {
    return monitors.find(area => containsPoint(area, x, y)) || monitors[0];
}

// Where one of Nivu's own windows of this size goes: its top left at the placement's point,
// inside the monitor there; what has no room below the point goes above it. During a drag
// (pointer given), one that follows the pointer sits beside it, on its other side where the
// monitor under the pointer ends.
function ownWindowPoint(placement, size, pointer, monitors) {
    let x = placement.x, y = placement.y, area;
    if (pointer && placement.beside !== undefined) {
        const beside = placement.beside;
        area = monitorAt(monitors, pointer.x, pointer.y);
        x = pointer.x + beside + size.width <= area.x + area.width
            ? pointer.x + beside : pointer.x - beside - size.width;
        y = pointer.y + beside + size.height <= area.y + area.height
            ? pointer.y + beside : pointer.y - beside - size.height;
    } else {
        area = monitorAt(monitors, x, y);
    }
    x = Math.max(area.x, Math.min(x, area.x + area.width - size.width));
    y = y + size.height <= area.y + area.height ? y : Math.max(area.y, y - size.height);
    return {x, y};
}

// The frame that gives the client area the size, no larger than the work area: it keeps its
// top left where the window still fits, and moves just enough where not.
function fittedFrame(frame, client, area, width, height) {
    const w = Math.min(width + frame.width - client.width, area.width);
    const h = Math.min(height + frame.height - client.height, area.height);
    return {
        x: Math.max(area.x, Math.min(frame.x, area.x + area.width - w)),
        y: Math.max(area.y, Math.min(frame.y, area.y + area.height - h)),
        width: w, height: h,
    };
}

// A number Nivu sent, rounded, if it is one within the bounds; else null.
function whole(value, low, high) {
    const number = typeof value === 'number' ? Math.round(value) : NaN;
    return Number.isFinite(number) && number >= low && number <= high ? number : null;
}

// A command as Nivu sends it, with its fields checked and typed; null for anything else.
function readCommand(command) {
    if (!command || typeof command !== 'object')
        return null;
    const shortcut = whole(command.shortcut, 1, 4294967295);
    switch (command.command) {
    case 'size': {
        const width = whole(command.width, 1, 65536), height = whole(command.height, 1, 65536);
        return width && height ? {command: 'size', id: String(command.id), width, height} : null;
    }
    case 'place': {
        const x = whole(command.x, -262144, 262144), y = whole(command.y, -262144, 262144);
        const beside = whole(command.besidePointer, 0, 65536);
        if (typeof command.title !== 'string' || (!command.atPointer && (x === null || y === null)))
            return null;
        return {command: 'place', title: command.title, pid: Number(command.pid), x, y,
            atPointer: !!command.atPointer, focus: !!command.focus,
            beside: beside === null ? undefined : beside};
    }
    case 'shortcut':
        return shortcut && typeof command.keys === 'string'
            ? {command: 'shortcut', shortcut, keys: command.keys} : null;
    case 'unshortcut':
        return shortcut ? {command: 'unshortcut', shortcut} : null;
    case 'menu':
        return {command: 'menu', entries: Array.isArray(command.entries)
            ? command.entries.filter(entry => entry && typeof entry === 'object') : []};
    default:
        return null;
    }
}

// What the core asks of its compositor ("side"), window by window (each a compositor's own
// window object):
//   id(w), facts(w) -> {app, role, pid, normal, dialog, resizable}, title(w), pid(w),
//   frame(w) and clientSize(w) (the client area's size), workArea(w), canSize(w)
//   pointer(), monitors() (whole monitors), focused() (the window with the keyboard, or null)
//   send(fact): a report to Nivu
//   setFrame(w, rect), moveFrame(w, x, y), keepOwn(w) (above, out of task bar and switchers)
//   activate(w), later(fn): fn once the compositor's current event is over
//   optional: nudge(w, frame, target) asks a program again for a size it passed over, with
//   after(ms, fn) -> handle and cancel(handle); grabShortcut(client, number, keys),
//   releaseShortcut(client, number), showMenu(client, entries) for those commands
class CompositorCore {
    constructor(side) {
        this._side = side;
        this._windows = new Map(); // id -> {window, id, shown, existing, own, placement, size}
        this._placements = new Map(); // a program of Nivu's -> title -> placement
        this._grabbed = null; // the tracked window a user moves or resizes now
        this._lastActive = null; // the last program's window reported active
        this._previousActive = null; // the one before it
        this._lastFocus = null; // the last to have the keyboard: that one, or a menu of Nivu's
        this._sizeChecks = new Map(); // id -> the pending size check
        this._refocusing = false;
    }

    // --- Windows: events from the adapter ------------------------------------------------------

    // A window the compositor manages; shown: on screen already. One is reported once shown:
    // before, a Wayland window has no class, title or size, and sizing it may take a compositor
    // down. True for a window the core did not know yet.
    added(window, existing, shown) {
        const id = this._side.id(window);
        const known = this._windows.has(id);
        if (!known)
            this._windows.set(id, {window, id, shown: false, existing, own: false});
        if (shown)
            this.shown(window);
        return !known;
    }

    shown(window) {
        const tracked = this._tracked(window);
        if (!tracked || tracked.shown)
            return;
        tracked.shown = true;
        if (this._placeIfOwn(tracked))
            return;
        tracked.size = this._side.clientSize(window);
        this._side.send(this._windowFact(tracked, tracked.existing));
        if (window === this._side.focused())
            this.focusChanged();
    }

    // Its frame moved or changed size.
    changed(window) {
        const tracked = this._tracked(window);
        if (!tracked || !tracked.shown)
            return;
        if (tracked.own) {
            this._place(tracked); // a badge with new text keeps to its point
            return;
        }
        const size = this._side.clientSize(window);
        if (!tracked.size || size.width !== tracked.size.width || size.height !== tracked.size.height) {
            tracked.size = size;
            this._side.send(Reports.size(tracked.id, size, this._side.pointer()));
        }
        if (this._grabbed === tracked)
            this._side.send(Reports.drag(tracked.id, this._side.pointer()));
    }

    // Its title changed: it may have become one of Nivu's own.
    retitled(window) {
        const tracked = this._tracked(window);
        if (tracked)
            this._placeIfOwn(tracked);
    }

    removed(window) {
        const tracked = this._tracked(window);
        if (!tracked)
            return;
        this._windows.delete(tracked.id);
        this._stopSizeCheck(tracked.id);
        if (this._grabbed === tracked)
            this._grabbed = null;
        for (const field of ['_lastActive', '_lastFocus', '_previousActive']) {
            if (this[field] === window)
                this[field] = null;
        }
        if (tracked.shown && !tracked.own)
            this._side.send(Reports.closed(tracked.id));
    }

    // Every window's report, for a program of Nivu's that starts listening: hello, every shown
    // window (as there before) and the active one.
    snapshot() {
        const facts = [Reports.hello()];
        for (const tracked of this._windows.values()) {
            if (tracked.shown && !tracked.own)
                facts.push(this._windowFact(tracked, true));
        }
        const active = this.activeId();
        if (active !== null)
            facts.push(Reports.active(active));
        return facts;
    }

    _windowFact(tracked, existing) {
        return Reports.window(tracked.id, this._side.facts(tracked.window),
            tracked.size || this._side.clientSize(tracked.window), existing);
    }

    activeId() {
        const tracked = this._tracked(this._side.focused());
        return tracked && tracked.shown && !tracked.own ? tracked.id : null;
    }

    // --- The keyboard ------------------------------------------------------------------------

    // A window that loses the focus reports nothing; the next one that takes it reports.
    focusChanged() {
        const window = this._side.focused();
        if (!window)
            return;
        const tracked = this._tracked(window);
        if (tracked && !tracked.shown)
            return; // told again once shown, and known for Nivu's own or not
        if (tracked && tracked.own) {
            if (tracked.placement.focus)
                this._lastFocus = window;
            else
                this._giveFocusBack(); // the badge never keeps the keyboard
            return;
        }
        this._lastFocus = window;
        if (window !== this._lastActive) {
            this._previousActive = this._lastActive;
            this._lastActive = window;
        }
        const id = this.activeId();
        if (id !== null)
            this._side.send(Reports.active(id));
    }

    // Once the compositor's own focus change is over: within it, it does not hold. Only from one
    // of Nivu's windows that takes no focus: a menu of Nivu's may have it by then. To a menu of
    // Nivu's that had it, else to the window the badge measures.
    _giveFocusBack() {
        if (this._refocusing)
            return;
        this._refocusing = true;
        this._side.later(() => {
            this._refocusing = false;
            const holder = this._tracked(this._side.focused());
            if (this._side.focused() && !(holder && this._takesNoFocus(holder)))
                return;
            const back = [this._lastFocus, this._lastActive].find(window => {
                const held = window && this._tracked(window);
                return held && !this._takesNoFocus(held);
            });
            if (back)
                this._side.activate(back);
        });
    }

    _takesNoFocus(tracked) {
        return tracked.own && !tracked.placement.focus;
    }

    // --- Drags -------------------------------------------------------------------------------

    // A user starts to move or resize a window; during that, Nivu's own windows that follow
    // the pointer are placed at each of its moves, before the compositor draws the frame.
    grabBegan(window) {
        const tracked = this._tracked(window);
        this._grabbed = tracked && tracked.shown && !tracked.own ? tracked : null;
    }

    grabEnded() {
        const tracked = this._grabbed;
        this._grabbed = null;
        if (tracked && this._windows.has(tracked.id))
            this._side.send(Reports.up(tracked.id, this._side.pointer()));
    }

    dragging() {
        return this._grabbed !== null;
    }

    pointerMoved() {
        if (!this._grabbed)
            return;
        for (const tracked of [...this._windows.values()]) {
            if (tracked.own)
                this._place(tracked);
        }
    }

    // --- Nivu's own windows ------------------------------------------------------------------

    // One of the windows Nivu places (its badge, its menu), whether shown yet or not.
    isOwn(window) {
        return Boolean(this._placementOf(window));
    }

    _placementOf(window) {
        const title = this._side.title(window), pid = this._side.pid(window);
        for (const byTitle of this._placements.values()) {
            const placement = byTitle.get(title);
            if (placement && placement.pid === pid)
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
            this._stopSizeCheck(tracked.id);
            if (this._lastActive === tracked.window) { // it took the focus before it was known
                this._lastActive = this._previousActive;
                this._previousActive = null;
            }
            if (this._grabbed === tracked)
                this._grabbed = null;
            if (tracked.size) // reported under another title before
                this._side.send(Reports.closed(tracked.id));
        }
        tracked.placement = placement;
        this._place(tracked);
        if (placement.focus && !tracked.focusGiven) {
            // A compositor at times maps it without the keyboard. Given once, so that a click
            // elsewhere stands.
            tracked.focusGiven = true;
            if (tracked.window !== this._side.focused())
                this._side.activate(tracked.window);
        }
        // A menu that has the keyboard is the one to give it back to once the badge takes it.
        if (tracked.window === this._side.focused())
            this.focusChanged();
        return true;
    }

    _place(tracked) {
        const window = tracked.window;
        const placement = this._placementOf(window) || tracked.placement;
        const frame = this._side.frame(window);
        const point = ownWindowPoint(placement, frame, this._grabbed ? this._side.pointer() : null,
            this._side.monitors());
        this._side.keepOwn(window);
        if (frame.x !== point.x || frame.y !== point.y)
            this._side.moveFrame(window, point.x, point.y);
    }

    // --- Commands ----------------------------------------------------------------------------

    // A command of one of Nivu's programs (its "client": whatever the adapter names it by).
    apply(client, raw) {
        const command = readCommand(raw);
        if (!command)
            return;
        const side = this._side;
        switch (command.command) {
        case 'size':
            this._size(command.id, command.width, command.height);
            return;
        case 'place':
            this._setPlacement(client, command);
            return;
        case 'shortcut':
            if (side.grabShortcut)
                side.grabShortcut(client, command.shortcut, command.keys);
            return;
        case 'unshortcut':
            if (side.releaseShortcut)
                side.releaseShortcut(client, command.shortcut);
            return;
        case 'menu':
            if (side.showMenu)
                side.showMenu(client, command.entries);
        }
    }

    // The program has gone: its own windows are no longer placed.
    forget(client) {
        this._placements.delete(client);
    }

    _setPlacement(client, command) {
        const at = command.atPointer ? this._side.pointer() : command;
        if (!this._placements.has(client))
            this._placements.set(client, new Map());
        this._placements.get(client).set(command.title, {
            pid: command.pid, x: Math.round(at.x), y: Math.round(at.y), focus: command.focus,
            beside: command.beside,
        });
        for (const tracked of [...this._windows.values()])
            this._placeIfOwn(tracked);
    }

    _size(id, width, height) {
        const tracked = this._windows.get(id);
        if (!tracked || !tracked.shown || tracked.own || !this._side.canSize(tracked.window))
            return;
        const window = tracked.window;
        const target = fittedFrame(this._side.frame(window), this._side.clientSize(window),
            this._side.workArea(window), width, height);
        this._side.setFrame(window, target);
        if (this._side.nudge)
            this._checkSize(tracked, target, SIZE_CHECKS);
    }

    // A program may pass over the first size it is given (Qt does, at times). A compositor that
    // does not send an unchanged size again asks for it again through the side's nudge.
    _checkSize(tracked, target, checksLeft) {
        this._stopSizeCheck(tracked.id);
        this._sizeChecks.set(tracked.id, this._side.after(SIZE_CHECK_MS, () => {
            this._sizeChecks.delete(tracked.id);
            if (!this._windows.has(tracked.id) || this._grabbed === tracked || tracked.own)
                return;
            const frame = this._side.frame(tracked.window);
            if ((frame.width === target.width && frame.height === target.height) || checksLeft <= 1)
                return;
            this._side.nudge(tracked.window, frame, target);
            this._checkSize(tracked, target, checksLeft - 1);
        }));
    }

    _stopSizeCheck(id) {
        if (this._sizeChecks.has(id)) {
            this._side.cancel(this._sizeChecks.get(id));
            this._sizeChecks.delete(id);
        }
    }

    // Every pending timer ends; the adapter's windows are left as they are.
    stop() {
        for (const id of [...this._sizeChecks.keys()])
            this._stopSizeCheck(id);
        this._windows.clear();
        this._placements.clear();
        this._grabbed = this._lastActive = this._previousActive = this._lastFocus = null;
    }

    _tracked(window) {
        return window ? this._windows.get(this._side.id(window)) : undefined;
    }
}
