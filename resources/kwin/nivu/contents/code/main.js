// Nivu's bridge inside KWin: reports window facts to Nivu and applies its commands. It decides
// nothing; Nivu does. Nivu loads it at its start and unloads it at quit.
// Reports are calls of report(json) on Nivu's service, which the line before this one names.
// Commands are the replies to nextCommands(), which Nivu holds back until it has one: KWin
// scripts cannot be called. GNOME Shell's extension speaks the same protocol.
var path = "/Bridge", iface = "org.nivu.Bridge";

// Plasma 6 renamed the window API; use whichever this KWin has.
var windowAdded = workspace.windowAdded || workspace.clientAdded;
var windowActivated = workspace.windowActivated || workspace.clientActivated;
var windowRemoved = workspace.windowRemoved || workspace.clientRemoved;
function windowList() { return workspace.windowList ? workspace.windowList() : workspace.clientList(); }
function activeWindow() { return workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient; }
function setActiveWindow(w) { if (workspace.activeWindow !== undefined) workspace.activeWindow = w; else workspace.activeClient = w; }
// What the program shows, without KWin's title bar and borders: the client area where KWin
// names it (Plasma 6). Plasma 5 names only the frame and the buffer: the buffer where it lies
// inside the frame (KWin draws the title bar), else the frame (the program draws its own, and
// its buffer holds its shadow).
function inside(b, f) { return b.x >= f.x && b.y >= f.y && b.x + b.width <= f.x + f.width && b.y + b.height <= f.y + f.height; }
function sizeOf(w) {
    var f = w.frameGeometry, b = w.bufferGeometry;
    var g = w.clientGeometry || (b && inside(b, f) ? b : f);
    return {width: g.width, height: g.height};
}

var windows = {}; // by id, the windows reported
var placements = {}; // by title, where Nivu wants its own windows: {pid, x, y, focus, beside}
var ownWindows = {}; // by id, Nivu's own windows that it places
var dragging = false; // a user moves or resizes a window now
var shortcuts = {}; // by Nivu's number, the key combination in force
var registered = {}; // the combinations registered with KWin, which keeps them until the end
var lastActive = null; // the last window reported active
var lastFocus = null; // the last to have the focus: that one, or a menu of Nivu's
// Gives the focus back once KWin's activation is over; set within it, it does not hold. Where
// scripts have no QTimer, it is given back at once. To a menu of Nivu's that had it, else to
// the window the badge measures.
function giveFocusBack() {
    var back = [lastFocus, lastActive].filter(function (w) {
        var id = w && String(w.internalId);
        return w && (windows[id] || (ownWindows[id] && placement(w) && placement(w).focus));
    })[0];
    if (back) setActiveWindow(back);
}
var refocus = typeof QTimer === "function" ? new QTimer() : {start: giveFocusBack};
if (refocus.timeout) {
    refocus.singleShot = true;
    refocus.interval = 0;
    refocus.timeout.connect(giveFocusBack);
}
function report(fact) { callDBus(service, path, iface, "report", JSON.stringify(fact)); }
function withCursor(fact) { var p = workspace.cursorPos; fact.x = p.x; fact.y = p.y; return fact; }

// Nivu's own windows that it places (its size badge, its menus) are kept there and above, out of
// the task bar and the switchers, and not reported.
function placement(w) { var p = placements[w.caption]; return p && p.pid === w.pid ? p : null; }
// The whole monitor at a point, else the first: Plasma 6 lists its outputs, Plasma 5 counts them.
function monitorAt(x, y) {
    var outputs = workspace.screens, count = outputs ? outputs.length : workspace.numScreens;
    var first = null;
    for (var i = 0; i < count; ++i) {
        var a = workspace.clientArea(KWin.ScreenArea, outputs ? outputs[i] : i, workspace.currentDesktop);
        if (x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height) return a;
        first = first || a;
    }
    return first || workspace.virtualScreenGeometry;
}
// One that follows the pointer during a drag sits beside it, on its other side where the
// monitor under it ends, set in the handler of the pointer's step: KWin draws both in one frame.
function place(w) {
    var p = placement(w), g = w.frameGeometry;
    var x = p.x, y = p.y, area;
    if (dragging && p.beside !== undefined) {
        var c = workspace.cursorPos;
        area = monitorAt(c.x, c.y);
        x = c.x + p.beside + g.width <= area.x + area.width ? c.x + p.beside : c.x - p.beside - g.width;
        y = c.y + p.beside + g.height <= area.y + area.height ? c.y + p.beside : c.y - p.beside - g.height;
    } else {
        area = monitorAt(x, y);
    }
    // Inside the monitor: what has no room below the point goes above it.
    x = Math.max(area.x, Math.min(x, area.x + area.width - g.width));
    y = y + g.height <= area.y + area.height ? y : Math.max(area.y, y - g.height);
    w.keepAbove = true;
    w.skipTaskbar = w.skipSwitcher = w.skipPager = true;
    if (g.x !== x || g.y !== y) w.frameGeometry = {x: x, y: y, width: g.width, height: g.height};
}

// A menu of Nivu's is given the keyboard once as it shows, so that a click elsewhere stands:
// KWin may keep a new window of a program that has had no input from the focus. One that showed
// before Nivu's place for it arrived was reported as a program's: it is closed for Nivu.
function adopt(w) {
    var id = String(w.internalId);
    var known = ownWindows[id];
    ownWindows[id] = w;
    if (windows[id]) {
        delete windows[id];
        report({report: "closed", id: id});
    }
    place(w);
    if (!known && placement(w).focus && activeWindow() !== w) setActiveWindow(w);
}

function track(w, existing) {
    var id = String(w.internalId);
    if (windows[id]) return;
    if (placement(w)) { adopt(w); return; }
    windows[id] = w;
    var size = sizeOf(w);
    report({report: "window", id: id, app: String(w.resourceClass), role: String(w.windowRole || ""),
            pid: w.pid, width: size.width, height: size.height, normal: !!w.normalWindow,
            dialog: !!w.dialog, resizable: !!w.resizeable, existing: existing});
    // Each handler reports only while the window counts as a program's (not adopted since).
    w.frameGeometryChanged.connect(function () {
        if (windows[id] !== w) return;
        var now = sizeOf(w);
        if (now.width !== size.width || now.height !== size.height) {
            size = now;
            report(withCursor({report: "size", id: id, width: now.width, height: now.height}));
        }
    });
    // Interactive moves and resizes: the pointer's steps and its release.
    (w.interactiveMoveResizeStepped || w.clientStepUserMovedResized).connect(function () {
        if (windows[id] !== w) return;
        dragging = true;
        for (var n in ownWindows) place(ownWindows[n]);
        report(withCursor({report: "drag", id: id}));
    });
    (w.interactiveMoveResizeFinished || w.clientFinishUserMovedResized).connect(function () {
        if (windows[id] !== w) return;
        dragging = false;
        report(withCursor({report: "up", id: id}));
    });
}

function untrack(w) {
    var id = String(w.internalId);
    delete ownWindows[id];
    if (windows[id]) {
        delete windows[id];
        report({report: "closed", id: id});
    }
}

// A window that loses the focus reports nothing; the next one that takes it reports.
function reportActive() {
    var w = activeWindow();
    if (!w) return;
    var own = placement(w);
    if (own) { // the badge never takes the focus from the window it measures
        if (own.focus) lastFocus = w;
        else refocus.start();
        return;
    }
    lastActive = lastFocus = w;
    track(w, false); // activated before KWin announced it
    report({report: "active", id: String(w.internalId)});
}

// "place": one of Nivu's own windows goes to a point, or to the pointer. "shortcut" and
// "unshortcut": a key combination reports its presses, or no longer. "size": the window's
// client area takes the size, inside the work area; the frame keeps its top left where the
// window still fits, and moves just enough where not.
function apply(command) {
    if (command.command === "place") {
        var at = command.atPointer ? workspace.cursorPos : command;
        placements[command.title] = {pid: command.pid, x: at.x, y: at.y, focus: command.focus,
                                     beside: command.besidePointer};
        windowList().forEach(function (w) { if (placement(w)) adopt(w); });
        return;
    }
    if (command.command === "shortcut") {
        // KWin keeps a script's shortcuts until the script ends: one per combination, and a
        // press counts only while Nivu holds it.
        shortcuts[command.shortcut] = command.keys;
        if (!registered[command.keys]) {
            registered[command.keys] = true;
            registerShortcut("Nivu " + command.keys, "Nivu: preset menu (" + command.keys + ")",
                             command.keys, function () { pressed(command.keys); });
        }
        return;
    }
    if (command.command === "unshortcut") {
        delete shortcuts[command.shortcut];
        return;
    }
    var w = windows[command.id];
    if (!w || command.command !== "size") return;
    var frame = w.frameGeometry, client = sizeOf(w);
    // Never larger than the monitor's area for windows, as KWin's own maximizing gives.
    var area = workspace.clientArea(KWin.MaximizeArea, w);
    var width = Math.min(command.width + frame.width - client.width, area.width);
    var height = Math.min(command.height + frame.height - client.height, area.height);
    w.frameGeometry = {x: Math.max(area.x, Math.min(frame.x, area.x + area.width - width)),
                       y: Math.max(area.y, Math.min(frame.y, area.y + area.height - height)),
                       width: width, height: height};
}

function pressed(keys) {
    for (var n in shortcuts) {
        if (shortcuts[n] === keys) report(withCursor({report: "hotkey", shortcut: Number(n)}));
    }
}

function poll() {
    callDBus(service, path, iface, "nextCommands", function (reply) {
        var commands = JSON.parse(reply);
        for (var i = 0; i < commands.length; ++i) apply(commands[i]);
        poll();
    });
}

report({report: "hello"});
windowList().forEach(function (w) { track(w, true); });
windowAdded.connect(function (w) { track(w, false); });
windowRemoved.connect(untrack);
windowActivated.connect(reportActive);
reportActive();
poll();
