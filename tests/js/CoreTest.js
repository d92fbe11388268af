// The compositor core on a stand-in compositor (FakeSide.js): which windows it reports and
// when, what size it gives, where Nivu's own windows go and who keeps the keyboard. Run under
// GJS (run-core-tests.js) and under QJSEngine (CompositorCoreTest), as GNOME and KWin run it.
const failures = [];

function expect(what, actual, expected) {
    const [a, e] = [JSON.stringify(actual), JSON.stringify(expected)];
    if (a !== e)
        failures.push(`${what}: got ${a}, expected ${e}`);
}

const NIVU = 'org.nivu.Nivu', NIVU_PID = 4243;
const badgePlace = {command: 'place', title: 'Nivu size', pid: NIVU_PID, x: 0, y: 0, focus: false,
    besidePointer: 16};
const badgeOf = fake => fake.window({x: 0, y: 0, width: 120, height: 40}, {title: 'Nivu size', pid: NIVU_PID});

// A window's life, step by step: what each step reports.
function windowLives() {
    const fake = fakeCompositor(), core = fake.core;
    const old = fake.window({x: 10, y: 10, width: 300, height: 230}, {app: 'old'});
    const late = fake.window({x: 100, y: 100, width: 400, height: 330});
    const brief = fake.window({x: 0, y: 0, width: 50, height: 50});
    const steps = [
        ['there before', () => core.added(old, true, true),
            [{report: 'window', id: '1', app: 'old', role: '', pid: 500, width: 300, height: 200, normal: true,
                dialog: false, resizable: true, existing: true}]],
        ['added, not shown yet, and focused', () => {
            core.added(late, false, false);
            fake.focus = late;
            core.focusChanged();
        }, []],
        ['shown late: reported, then as active', () => core.shown(late),
            [{report: 'window', id: '2', app: 'editor', role: '', pid: 500, width: 400, height: 300, normal: true,
                dialog: false, resizable: true, existing: false}, {report: 'active', id: '2'}]],
        ['shown twice', () => core.shown(late), []],
        ['gone before it was shown', () => {
            core.added(brief, false, false);
            core.removed(brief);
        }, []],
        ['moved only', () => {
            late.frame.x = 200;
            core.changed(late);
        }, []],
        ['resized, with the pointer', () => {
            fake.pointer = {x: 700.5, y: 431};
            late.frame.width = 500;
            core.changed(late);
        }, [{report: 'size', id: '2', width: 500, height: 300, x: 700.5, y: 431}]],
        ['dragged by the user', () => {
            core.grabBegan(late);
            late.frame.height = 430;
            core.changed(late);
            late.frame.x = 210;
            core.changed(late);
            core.grabEnded();
        }, [{report: 'size', id: '2', width: 500, height: 400, x: 700.5, y: 431},
            {report: 'drag', id: '2', x: 700.5, y: 431}, {report: 'drag', id: '2', x: 700.5, y: 431},
            {report: 'up', id: '2', x: 700.5, y: 431}]],
        ['a new listener hears all', () => fake.reports.push(...core.snapshot()),
            [{report: 'hello'}, {report: 'window', id: '1', app: 'old', role: '', pid: 500, width: 300,
                height: 200, normal: true, dialog: false, resizable: true, existing: true},
            {report: 'window', id: '2', app: 'editor', role: '', pid: 500, width: 500, height: 400,
                normal: true, dialog: false, resizable: true, existing: true}, {report: 'active', id: '2'}]],
        ['closed', () => core.removed(late), [{report: 'closed', id: '2'}]],
    ];
    for (const [what, step, reports] of steps) {
        step();
        expect(`a window's life: ${what}`, fake.take(), reports);
    }
}

// A size: the client area takes it inside the work area of the window's monitor (two monitors
// of 1280 x 800 side by side, work areas 1280 x 760), only for a shown program's window that
// allows it; one passed over is asked for again, and not for ever.
function sizes() {
    const rows = [
        // what, frame before, size, props, shown, frame after, nudges
        ['fits where it is', [100, 100], [640, 480], {}, true, [100, 100, 640, 510], 0],
        ['larger than the work area', [100, 100], [1920, 1080], {}, true, [0, 0, 1280, 760], 0],
        ['past the monitor\'s right', [1000, 100], [640, 480], {}, true, [640, 100, 640, 510], 0],
        ['past the panel', [100, 500], [640, 480], {}, true, [100, 250, 640, 510], 0],
        ['on the right monitor', [1400, 300], [1920, 1080], {}, true, [1280, 0, 1280, 760], 0],
        ['not shown yet', [100, 100], [640, 480], {}, false, [100, 100, 400, 330], 0],
        ['not resizable', [100, 100], [640, 480], {resizable: false}, true, [100, 100, 400, 330], 0],
        ['Nivu\'s own: placed only', [100, 100], [640, 480], {title: 'Nivu size', pid: NIVU_PID}, true, [0, 0, 400, 330], 0],
        ['passed over twice', [100, 100], [640, 480], {takes: 2}, true, [100, 100, 640, 510], 2],
        ['passed over always', [100, 100], [640, 480], {takes: 99}, true, [100, 100, 400, 330], 19],
    ];
    for (const [what, at, size, props, shown, after, nudges] of rows) {
        const fake = fakeCompositor(), core = fake.core;
        fake.monitors.push({x: 1280, y: 0, width: 1280, height: 800});
        core.apply(NIVU, badgePlace);
        const w = fake.window({x: at[0], y: at[1], width: 400, height: 330}, props);
        core.added(w, false, shown);
        core.apply(NIVU, {command: 'size', id: w.id, width: size[0], height: size[1]});
        for (let i = 0; i < 30; ++i)
            fake.fireTimers();
        const f = w.frame;
        expect(`a size, ${what}`, [[f.x, f.y, f.width, f.height], fake.nudges], [after, nudges]);
    }
}

// Nivu's own windows: placed, kept above, never reported; during a drag the badge keeps beside
// the pointer on the monitor under it.
function ownWindows() {
    const fake = fakeCompositor(), core = fake.core;
    fake.monitors.push({x: 1280, y: 0, width: 1280, height: 800});
    const editor = fake.window({x: 100, y: 100, width: 400, height: 330});
    core.added(editor, false, true);
    core.apply(NIVU, badgePlace);
    const badge = badgeOf(fake);
    const stranger = fake.window({x: 0, y: 0, width: 120, height: 40}, {title: 'Nivu size', pid: 666});
    expect('the badge is Nivu\'s before the core has it; a window of its title elsewhere is not',
        [core.isOwn(badge), core.isOwn(stranger)], [true, false]);
    core.added(badge, false, true);
    core.added(stranger, false, true);
    expect('the badge is not reported, a window of its title in another process is',
        fake.take().map(r => r.id), ['1', '3']);
    expect('the badge is kept above', badge.kept, true);
    core.grabBegan(editor);
    const rows = [
        ['right of and below the pointer', [600, 400], [616, 416]],
        ['left where the left monitor ends', [1200, 400], [1064, 416]],
        ['above where the right monitor ends', [1300, 780], [1316, 724]],
    ];
    for (const [what, pointer, at] of rows) {
        fake.pointer = {x: pointer[0], y: pointer[1]};
        core.pointerMoved();
        expect(`the badge during a drag, ${what}`, [badge.frame.x, badge.frame.y], at);
    }
    core.grabEnded();
    fake.take();
    const menu = fake.window({x: 0, y: 0, width: 200, height: 300}, {title: 'Nivu presets', pid: NIVU_PID});
    core.added(menu, false, true);
    expect('a menu shown before its place counts as a program\'s', fake.take().map(r => r.report), ['window']);
    core.apply(NIVU, {command: 'place', title: 'Nivu presets', pid: NIVU_PID, x: 1200, y: 700, focus: true});
    expect('then it is taken back, inside the monitor, above the point', [fake.take(), menu.frame.x, menu.frame.y],
        [[{report: 'closed', id: '4'}], 1080, 400]);
    expect('a menu is given the keyboard', fake.focus, menu);
}

// The keyboard: the badge never keeps it; it goes back to the menu that had it, else to the
// window the badge measures.
function keyboard() {
    const fake = fakeCompositor(), core = fake.core;
    const editor = fake.window({x: 100, y: 100, width: 400, height: 330});
    core.added(editor, false, true);
    fake.focus = editor;
    core.focusChanged();
    core.apply(NIVU, badgePlace);
    const badge = badgeOf(fake);
    core.added(badge, false, true);
    fake.focus = badge;
    core.focusChanged();
    expect('not given back within the compositor\'s own change', fake.focus, badge);
    fake.runLaters();
    expect('given back to the window it measures', fake.focus, editor);
    core.apply(NIVU, {command: 'place', title: 'Nivu presets', pid: NIVU_PID, x: 10, y: 10, focus: true});
    const menu = fake.window({x: 0, y: 0, width: 200, height: 300}, {title: 'Nivu presets', pid: NIVU_PID});
    core.added(menu, false, true);
    fake.focus = badge;
    core.focusChanged();
    fake.runLaters();
    expect('given back to the menu that had it', fake.focus, menu);
    expect('only the editor is reported active, again as it gets the keyboard back',
        fake.take().filter(r => r.report === 'active').map(r => r.id), ['1', '1']);
}

// Commands: what is malformed does nothing; shortcuts and menus go to the compositor's hooks.
function commands() {
    const fake = fakeCompositor(), core = fake.core;
    const w = fake.window({x: 100, y: 100, width: 400, height: 330});
    core.added(w, false, true);
    for (const bad of [null, 'size', {command: 'size', id: w.id, width: '640', height: 480},
        {command: 'size', id: w.id, width: 0, height: 480}, {command: 'place', pid: 1, x: 0, y: 0},
        {command: 'shortcut', shortcut: 0, keys: 'Meta+R'}, {command: 'format disk'}])
        core.apply(NIVU, bad);
    expect('malformed commands leave the window', w.frame, {x: 100, y: 100, width: 400, height: 330});
    core.apply(NIVU, {command: 'shortcut', shortcut: 2, keys: 'Meta+Alt+R'});
    core.apply(NIVU, {command: 'unshortcut', shortcut: 2});
    core.apply(NIVU, {command: 'menu', entries: [{title: 'Quit'}, 7, {separator: true}]});
    expect('handed on, typed', fake.hooks, [['grab', NIVU, 2, 'Meta+Alt+R'], ['release', NIVU, 2], ['menu', NIVU, 2]]);
}

// Every report kind the protocol has, as an adapter builds those the core does not send.
function adapterReports() {
    const fake = fakeCompositor();
    [Reports.hello(), Reports.goodbye(), Reports.hotkey(1, {x: 700, y: 400}), Reports.refused(1), Reports.menu(2)]
        .forEach(fake.side.send);
}

function runCoreTests() {
    [windowLives, sizes, ownWindows, keyboard, commands, adapterReports].forEach(test => {
        try {
            test();
        } catch (e) {
            failures.push(`${test.name}: ${e}`);
        }
    });
    return {failures, reports: everyReport, kinds: Object.keys(Reports)};
}
