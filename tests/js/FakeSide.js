// A stand-in compositor for the compositor core (resources/compositor/core.js): windows with a
// title bar of 30 px above the client area, monitors whose work area leaves a panel of 40 px at
// the foot, the pointer, the keyboard's window, and timers the case fires. Plain script: it runs
// in GJS and in QJSEngine alike.
const TITLE_BAR = 30, PANEL = 40;
const everyReport = []; // of every stand-in, for Nivu's parser to read

function fakeCompositor() {
    const fake = {
        reports: [], // every report sent, in order
        monitors: [{x: 0, y: 0, width: 1280, height: 800}],
        pointer: {x: 0, y: 0},
        focus: null,
        laters: [],
        timers: new Map(),
        nextTimer: 1,
        nudges: 0,
        hooks: [], // the shortcut and menu commands handed on
        nextId: 1,

        // A window of a program: its frame, and what else the case says (title, pid, app,
        // resizable, takes: how many sizes it passes over before it takes one).
        window(frame, props) {
            return Object.assign({id: String(this.nextId++), title: '', pid: 500, app: 'editor',
                resizable: true, takes: 0, frame: Object.assign({}, frame)}, props || {});
        },
        take() {
            return this.reports.splice(0);
        },
        runLaters() {
            this.laters.splice(0).forEach(task => task());
        },
        fireTimers() {
            const due = [...this.timers.values()];
            this.timers.clear();
            due.forEach(task => task());
        },
        areaAt(x, y) {
            return this.monitors.find(m => x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height) ||
                this.monitors[0];
        },
    };
    // A size the window passes over leaves its frame as it was.
    const resize = (w, rect) => {
        if (w.takes > 0) {
            --w.takes;
            return;
        }
        w.frame = Object.assign({}, rect);
    };
    fake.side = {
        id: w => w.id,
        facts: w => ({app: w.app, role: '', pid: w.pid, normal: true, dialog: false, resizable: w.resizable}),
        title: w => w.title,
        pid: w => w.pid,
        frame: w => Object.assign({}, w.frame),
        clientSize: w => ({width: w.frame.width, height: w.frame.height - TITLE_BAR}),
        workArea: w => {
            const m = fake.areaAt(w.frame.x, w.frame.y);
            return {x: m.x, y: m.y, width: m.width, height: m.height - PANEL};
        },
        canSize: w => w.resizable,
        pointer: () => Object.assign({}, fake.pointer),
        monitors: () => fake.monitors.slice(),
        focused: () => fake.focus,
        send: fact => {
            fake.reports.push(JSON.parse(JSON.stringify(fact)));
            everyReport.push(JSON.stringify(fact));
        },
        setFrame: resize,
        moveFrame: (w, x, y) => { w.frame = {x, y, width: w.frame.width, height: w.frame.height}; },
        keepOwn: w => { w.kept = true; },
        activate: w => { // as the compositors do: its focus change follows at once
            fake.focus = w;
            fake.core.focusChanged();
        },
        later: task => fake.laters.push(task),
        nudge: (w, frame, target) => {
            ++fake.nudges;
            resize(w, {x: frame.x, y: frame.y, width: target.width, height: target.height});
        },
        after: (ms, task) => {
            fake.timers.set(fake.nextTimer, task);
            return fake.nextTimer++;
        },
        cancel: id => fake.timers.delete(id),
        grabShortcut: (client, number, keys) => fake.hooks.push(['grab', client, number, keys]),
        releaseShortcut: (client, number) => fake.hooks.push(['release', client, number]),
        showMenu: (client, entries) => fake.hooks.push(['menu', client, entries.length]),
    };
    fake.core = new CompositorCore(fake.side);
    return fake;
}
