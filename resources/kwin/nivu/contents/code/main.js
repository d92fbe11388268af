// Nivu's bridge inside KWin: KWin's signals and geometry for the compositor core, which Nivu
// joins before this file (resources/compositor/core.js); the call of startBridge that names
// Nivu's bus name follows it. Reports are calls of report(json) on that name; commands are the
// replies to nextCommands(), which Nivu holds back until it has one: KWin scripts cannot be
// called.
function startBridge(service) {
    const path = '/Bridge', iface = 'org.nivu.Bridge';
    // Plasma 6 renamed the window API; use whichever this KWin has.
    const windowList = () => (workspace.windowList ? workspace.windowList() : workspace.clientList());
    const activeWindow = () => (workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
    const inside = (b, f) => b.x >= f.x && b.y >= f.y && b.x + b.width <= f.x + f.width && b.y + b.height <= f.y + f.height;
    const report = fact => callDBus(service, path, iface, 'report', JSON.stringify(fact));
    const pointer = () => ({x: workspace.cursorPos.x, y: workspace.cursorPos.y});
    const laterTimer = typeof QTimer === 'function' ? new QTimer() : null; // else at once
    let laterTask = null;
    if (laterTimer) {
        laterTimer.singleShot = true;
        laterTimer.interval = 0;
        laterTimer.timeout.connect(() => laterTask && laterTask());
    }

    const side = {
        id: w => String(w.internalId),
        facts: w => ({app: String(w.resourceClass), role: String(w.windowRole || ''), pid: w.pid,
            normal: !!w.normalWindow, dialog: !!w.dialog, resizable: !!w.resizeable}),
        title: w => w.caption,
        pid: w => w.pid,
        frame: w => w.frameGeometry,
        // What the program shows, without KWin's title bar and borders: the client area where
        // KWin names it (Plasma 6). Plasma 5 names only the frame and the buffer: the buffer
        // where it lies inside the frame (KWin draws the title bar), else the frame (the
        // program draws its own, and its buffer holds its shadow).
        clientSize(w) {
            const f = w.frameGeometry, b = w.bufferGeometry;
            const g = w.clientGeometry || (b && inside(b, f) ? b : f);
            return {width: g.width, height: g.height};
        },
        // Never larger than the monitor's area for windows, as KWin's own maximizing gives.
        workArea: w => workspace.clientArea(KWin.MaximizeArea, w),
        canSize: w => !!w.resizeable,
        pointer,
        // Plasma 6 lists its outputs, Plasma 5 counts them.
        monitors() {
            const outputs = workspace.screens, count = outputs ? outputs.length : workspace.numScreens;
            const areas = [];
            for (let i = 0; i < count; ++i)
                areas.push(workspace.clientArea(KWin.ScreenArea, outputs ? outputs[i] : i, workspace.currentDesktop));
            return areas;
        },
        focused: activeWindow,
        send: report,
        setFrame(w, rect) { w.frameGeometry = rect; },
        moveFrame(w, x, y) {
            const g = w.frameGeometry;
            w.frameGeometry = {x, y, width: g.width, height: g.height};
        },
        // Plasma's window effect fades a closing window out over 200 ms: the last drag's size
        // would linger beside the new one. (Its opening cannot be spared from a script.)
        keepOwn(w) {
            w.keepAbove = true;
            w.skipTaskbar = w.skipSwitcher = w.skipPager = w.skipsCloseAnimation = true;
        },
        activate(w) {
            if (workspace.activeWindow !== undefined)
                workspace.activeWindow = w;
            else
                workspace.activeClient = w;
        },
        // Set within KWin's activation, the focus does not hold: given back after it.
        later(task) {
            if (!laterTimer)
                return task();
            laterTask = task;
            laterTimer.start();
        },
        // KWin keeps a script's shortcuts until the script ends: one per combination, and a
        // press counts only while Nivu holds it.
        grabShortcut(client, number, keys) {
            shortcuts[number] = keys;
            if (!registered[keys]) {
                registered[keys] = true;
                registerShortcut(`Nivu ${keys}`, `Nivu: preset menu (${keys})`, keys, () => pressed(keys));
            }
        },
        releaseShortcut(client, number) { delete shortcuts[number]; },
    };
    const shortcuts = {}; // by Nivu's number, the key combination in force
    const registered = {}; // the combinations registered with KWin
    const core = new CompositorCore(side);

    function pressed(keys) {
        for (const number in shortcuts) {
            if (shortcuts[number] === keys)
                report(Reports.hotkey(Number(number), pointer()));
        }
    }

    // A new window's signals hand it to the core, which drops what it no longer tracks.
    function add(w, existing) {
        if (!core.added(w, existing, true))
            return;
        w.frameGeometryChanged.connect(() => core.changed(w));
        (w.interactiveMoveResizeStarted || w.clientStartUserMovedResized).connect(() => core.grabBegan(w));
        // The pointer's step: KWin draws Nivu's windows placed here in the same frame.
        (w.interactiveMoveResizeStepped || w.clientStepUserMovedResized).connect(() => core.pointerMoved());
        (w.interactiveMoveResizeFinished || w.clientFinishUserMovedResized).connect(() => core.grabEnded());
    }

    function poll() {
        callDBus(service, path, iface, 'nextCommands', reply => {
            const commands = JSON.parse(reply);
            for (const command of Array.isArray(commands) ? commands : [])
                core.apply(service, command);
            poll();
        });
    }

    report(Reports.hello());
    windowList().forEach(w => add(w, true));
    (workspace.windowAdded || workspace.clientAdded).connect(w => add(w, false));
    (workspace.windowRemoved || workspace.clientRemoved).connect(w => core.removed(w));
    (workspace.windowActivated || workspace.clientActivated).connect(w => {
        if (w)
            add(w, false); // activated before KWin announced it
        core.focusChanged();
    });
    core.focusChanged();
    poll();
}
