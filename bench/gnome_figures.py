"""The badge on GNOME's Wayland session, with the shell's animations on. First its showing: over 50
drags of 8 steps, each once the last one's badge has gone, from the first resize the shell makes
to the first frame that draws the badge whole.
Then its latency: a hand drags a GTK window's corner through mutter's RemoteDesktop, and hooks
put into the shell note, in the shell's clock and its count of painted frames, each move of the
pointer during the resize and each move of Nivu's badge. Latency is from a pointer move to the
first move of the badge beside that point (none when it is there already). Then Nivu's context
switches while idle. Prints one JSON object."""

import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "desktop"))

from gnome_session import GnomeShellSession  # noqa: E402
from harness import settle, wait_until  # noqa: E402
from idle_switches import idle_switches  # noqa: E402
from latency import latencies, showings  # noqa: E402

SHOWINGS = 50
STEPS = 300
WATCH = """(() => {
    const {GLib, Meta} = imports.gi;
    const cursor = global.backend && global.backend.get_cursor_tracker
        ? global.backend.get_cursor_tracker() : Meta.CursorTracker.get_for_display(global.display);
    const bench = globalThis.nivuBench = {events: [], frame: 0, badge: null, opening: null};
    const note = (...event) => bench.events.push([GLib.get_monotonic_time() / 1000, bench.frame, ...event]);
    const noteShown = kind => bench.shown.push([GLib.get_monotonic_time() / 1000, kind]);
    bench.shown = [];
    // Shown: the first frame that draws the badge whole, not faded or shrunk by the shell's
    // animation of a new window.
    const whole = actor => actor.opacity === 255 && actor.scale_x === 1 && actor.scale_y === 1;
    global.stage.connect('after-paint', () => {
        bench.frame++;
        if (bench.opening && whole(bench.opening)) {
            bench.opening = null;
            noteShown('shown');
        }
    });
    global.display.connect('grab-op-begin', () => noteShown('begin'));
    global.display.connect('window-created', (display, window) => {
        const actor = window.get_compositor_private();
        actor.connect('first-frame', () => {
            if (window.get_title() !== 'Nivu size')
                return;
            if (whole(actor))
                noteShown('shown');
            else
                bench.opening = actor;
        });
        actor.connect('destroy', () => {
            if (bench.opening === actor)
                bench.opening = null;
        });
    });
    const editor = global.get_window_actors().map(a => a.meta_window)
        .find(w => w.get_wm_class() === 'org.gnome.TextEditor');
    let size = editor.get_frame_rect();
    editor.connect('size-changed', () => {
        const now = editor.get_frame_rect();
        if (now.width !== size.width || now.height !== size.height)
            noteShown('resized');
        size = now;
    });
    const badgeWindow = () => global.get_window_actors().map(a => a.meta_window)
        .find(w => w.get_title() === 'Nivu size' && !w.is_hidden());
    cursor.connect('position-invalidated', () => {
        if (!globalThis.nivuTestGrab)
            return;
        const [x, y] = global.get_pointer();
        const badge = badgeWindow();
        if (badge && bench.badge !== badge) {
            bench.badge = badge;
            badge.connect('position-changed', () => {
                const at = badge.get_frame_rect();
                note('badge', at.x, at.y);
            });
        }
        const at = badge ? badge.get_frame_rect() : {x: -1, y: -1};
        note('step', x, y, at.x, at.y);
    });
    return true;
})()"""


def main():
    with GnomeShellSession(nivu_extension={}) as session:
        nivu = session.start_nivu(json.dumps({"rememberedSizes": {}, "trackedBundleIdentifiers": []}))
        _, window = session.start_program(["gnome-text-editor"])
        # GNOME 50's editor lists its window a while before it shows it.
        wait_until(lambda: not session.frame(window)["hidden"] and session.frame(window)["w"] > 0,
                   timeout=30, what="the editor's window shown")
        session.place_window(window, 200, 150)
        session.animate(True)  # as where the shell draws with a GPU
        if session.eval(WATCH) != "true":
            sys.exit("bench: the shell took no hooks")
        corner = lambda: (session.frame(window)["x"] + session.frame(window)["w"] + 4,  # noqa: E731
                          session.frame(window)["y"] + session.frame(window)["h"] + 4)
        for drag in range(SHOWINGS):
            start, way = corner(), 1 if drag % 2 else -1
            session.resize_by_hand(window, start, (start[0] + 40 * way, start[1] + 40 * way), 8)
            # The program's last size, drawn after the release, shows the badge once more.
            settle(lambda: session.size(window), "the window's last size")
            wait_until(lambda: not session.badges(), what="the badge to hide")
        shown = json.loads(json.loads(session.eval("JSON.stringify(globalThis.nivuBench.shown)")))
        session.eval("globalThis.nivuBench.events = []")
        start = corner()
        session.resize_by_hand(window, start, (start[0] - 300, start[1] - 200), STEPS)
        wait_until(lambda: not session.badges(), what="the badge to hide")
        events = json.loads(json.loads(session.eval("JSON.stringify(globalThis.nivuBench.events)")))
        print(json.dumps({**latencies(events), **showings(shown), "idle_switches": idle_switches(nivu.pid)}))


if __name__ == "__main__":
    main()
