// A stand-in for the KWin that runs Nivu's script, with Plasma 6's names: the workspace with its
// windows and monitors, the pointer, the calls the script makes on the bus and the shortcuts it
// registers. Evaluated before the script, in the engine KWin runs scripts in (QJSEngine).
// Each window has a title bar of 30 px above its client area and no borders; each monitor's
// work area leaves a panel of 40 px at its foot.
var TITLE_BAR = 30, PANEL = 40;
var KWin = {ScreenArea: 1, MaximizeArea: 2};

function signal() {
    const handlers = [];
    const emit = (...args) => handlers.slice().forEach(handler => handler(...args));
    emit.connect = handler => handlers.push(handler);
    return emit;
}

var fake = {
    reports: [], // the JSON texts reported, in order
    fetches: [], // nextCommands calls that wait for their answer
    registered: {}, // key combination -> the script's handler
    monitors: [{x: 0, y: 0, width: 1280, height: 800}],
    nextId: 1,

    window(props) {
        const window = Object.assign({
            internalId: `{0000-${this.nextId++}}`, caption: '', pid: 500, resourceClass: 'editor',
            windowRole: '', normalWindow: true, dialog: false, resizeable: true,
            keepAbove: false, skipTaskbar: false, skipSwitcher: false, skipPager: false,
            frameGeometryChanged: signal(), interactiveMoveResizeStarted: signal(), interactiveMoveResizeStepped: signal(),
            interactiveMoveResizeFinished: signal(),
        }, props.window || {});
        let frame = Object.assign({}, props.frame);
        Object.defineProperty(window, 'frameGeometry', {
            get: () => Object.assign({}, frame),
            set: to => { frame = {x: to.x, y: to.y, width: to.width, height: to.height}; window.frameGeometryChanged(); },
        });
        Object.defineProperty(window, 'clientGeometry', {
            get: () => ({x: frame.x, y: frame.y + TITLE_BAR, width: frame.width, height: frame.height - TITLE_BAR}),
        });
        return window;
    },
    show(window) {
        workspace.list.push(window);
        workspace.windowAdded(window);
    },
    close(window) {
        workspace.list.splice(workspace.list.indexOf(window), 1);
        workspace.windowRemoved(window);
    },
    // Answers the script's waiting fetch with these commands.
    answer(commands) {
        const fetch = this.fetches.shift();
        if (!fetch)
            throw new Error('no fetch waits for commands');
        fetch(JSON.stringify(commands));
    },
    // A user's drag of the window's corner to the pointer's place, one step.
    drag(window, x, y) {
        if (this.dragging !== window) {
            this.dragging = window;
            window.interactiveMoveResizeStarted();
        }
        workspace.cursorPos = {x, y};
        const frame = window.frameGeometry;
        window.frameGeometry = {x: frame.x, y: frame.y, width: x - frame.x, height: y - frame.y};
        window.interactiveMoveResizeStepped();
    },
    takeReports() {
        return JSON.stringify(this.reports.splice(0));
    },
};

var workspace = {
    list: [], active: null, cursorPos: {x: 0, y: 0}, currentDesktop: 1,
    windowAdded: signal(), windowRemoved: signal(), windowActivated: signal(),
    windowList() { return this.list.slice(); },
    get activeWindow() { return this.active; },
    set activeWindow(window) { this.active = window; this.windowActivated(window); },
    get screens() { return fake.monitors; },
    get virtualScreenGeometry() { throw new Error('the whole desktop asked for'); },
    // A monitor's area; for a window, the monitor under its frame's top left.
    clientArea(area, where) {
        let monitor = where;
        if (where.frameGeometry) {
            const {x, y} = where.frameGeometry;
            monitor = fake.monitors.find(m => x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height) ||
                fake.monitors[0];
        }
        const height = area === KWin.MaximizeArea ? monitor.height - PANEL : monitor.height;
        return {x: monitor.x, y: monitor.y, width: monitor.width, height};
    },
};

function callDBus(service, path, iface, method, ...rest) {
    if (method === 'report')
        fake.reports.push(rest[0]);
    else if (method === 'nextCommands')
        fake.fetches.push(rest[0]);
}

function registerShortcut(name, text, keys, handler) {
    fake.registered[keys] = handler;
}
