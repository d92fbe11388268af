// Nivu's bridge inside KWin: reports window facts to Nivu and applies its commands. It decides
// nothing; Nivu does. Nivu loads it at its start and unloads it at quit.
// Reports are calls of report(json) on Nivu's service. Commands are the replies to
// nextCommands(), which Nivu holds back until it has one: KWin scripts cannot be called.
var service = "org.nivu.Nivu", path = "/KWin", iface = "org.nivu.KWin";

// Plasma 6 renamed the window API; use whichever this KWin has.
var windowAdded = workspace.windowAdded || workspace.clientAdded;
var windowActivated = workspace.windowActivated || workspace.clientActivated;
var windowRemoved = workspace.windowRemoved || workspace.clientRemoved;
function windowList() { return workspace.windowList ? workspace.windowList() : workspace.clientList(); }
function activeWindow() { return workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient; }
// The client area where KWin names it (Plasma 6), else the frame.
function sizeOf(w) { var g = w.clientGeometry || w.frameGeometry; return {w: g.width, h: g.height}; }

var windows = {}; // by id, the windows reported
function report(fact) { callDBus(service, path, iface, "report", JSON.stringify(fact)); }

function track(w, existing) {
    var id = String(w.internalId);
    if (windows[id]) return;
    windows[id] = w;
    var size = sizeOf(w);
    report({e: "window", id: id, cls: String(w.resourceClass), role: String(w.windowRole || ""),
            pid: w.pid, w: size.w, h: size.h, normal: !!w.normalWindow, dialog: !!w.dialog,
            resizable: !!w.resizeable, existing: existing});
    w.frameGeometryChanged.connect(function () {
        var now = sizeOf(w);
        if (now.w !== size.w || now.h !== size.h) {
            size = now;
            report({e: "size", id: id, w: now.w, h: now.h});
        }
    });
}

function untrack(w) {
    var id = String(w.internalId);
    if (windows[id]) {
        delete windows[id];
        report({e: "closed", id: id});
    }
}

function reportActive() {
    var w = activeWindow();
    if (w) track(w, false); // activated before KWin announced it
    report({e: "active", id: w ? String(w.internalId) : ""});
}

// Only ever "size": the window's client area takes the size; the frame keeps its top left.
function apply(command) {
    var w = windows[command.id];
    if (!w || command.c !== "size") return;
    var frame = w.frameGeometry, client = sizeOf(w);
    // Never larger than the screen's area for windows, as KWin's own maximizing gives.
    var area = workspace.clientArea(KWin.MaximizeArea, w);
    w.frameGeometry = {x: frame.x, y: frame.y,
                       width: Math.min(command.w + frame.width - client.w, area.width),
                       height: Math.min(command.h + frame.height - client.h, area.height)};
}

function poll() {
    callDBus(service, path, iface, "nextCommands", function (reply) {
        var commands = JSON.parse(reply);
        for (var i = 0; i < commands.length; ++i) apply(commands[i]);
        poll();
    });
}

windowList().forEach(function (w) { track(w, true); });
windowAdded.connect(function (w) { track(w, false); });
windowRemoved.connect(untrack);
windowActivated.connect(reportActive);
reportActive();
poll();
