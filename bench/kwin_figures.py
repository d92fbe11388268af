"""The badge on Plasma's Wayland session. First its showing: over 50 drags of 8 steps, each once
the last one's badge has gone, from the first resize KWin makes to the badge shown (KWin maps
it). Then its latency: a hand drags a Qt window's corner (Meta and the right button) through
KWin's fake input, and a KWin script notes, in KWin's clock, each step of the resize and each
move of Nivu's badge. Latency is from a step to the first move of the badge beside that point
(none when it is there already). The hand moves at 125 Hz, a plain mouse's rate. Then Nivu's
context switches while idle. Prints one JSON object."""

import json
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "desktop"))

from harness import KWinSession, settle, wait_until  # noqa: E402
from idle_switches import idle_switches  # noqa: E402
from latency import latencies, showings  # noqa: E402

SHOWINGS = 50
STEPS = 300
STEP_SECONDS = 0.008
WATCH = """
var windowAdded = workspace.windowAdded || workspace.clientAdded;
function windowList() { return workspace.windowList ? workspace.windowList() : workspace.clientList(); }
function note(event) { print("bench " + JSON.stringify([Date.now(), null].concat(event))); }
var badge = null;
function noteShown(kind) { print("shown " + JSON.stringify([Date.now(), kind])); }
function watchBadge(w) {
    if (w.caption !== "Nivu size") return;
    noteShown("shown");
    badge = w;
    w.frameGeometryChanged.connect(function () { note(["badge", w.frameGeometry.x, w.frameGeometry.y]); });
}
windowList().forEach(watchBadge);
windowAdded.connect(watchBadge);
var windowRemoved = workspace.windowRemoved || workspace.clientRemoved;
windowRemoved.connect(function (w) { if (w === badge) badge = null; });
windowList().forEach(function (w) {
    if (w.resourceClass !== "linguist") return;
    (w.interactiveMoveResizeStarted || w.clientStartUserMovedResized).connect(function () { noteShown("begin"); });
    var size = {width: w.frameGeometry.width, height: w.frameGeometry.height};
    w.frameGeometryChanged.connect(function () {
        var g = w.frameGeometry;
        if (g.width !== size.width || g.height !== size.height) noteShown("resized");
        size = {width: g.width, height: g.height};
    });
    (w.interactiveMoveResizeStepped || w.clientStepUserMovedResized).connect(function () {
        var c = workspace.cursorPos, g = badge ? badge.frameGeometry : {x: -1, y: -1};
        note(["step", c.x, c.y, g.x, g.y]);
    });
});
"""


def main():
    with KWinSession() as session:
        nivu = session.start_nivu(json.dumps({"rememberedSizes": {}, "trackedBundleIdentifiers": []}))
        _, window = session.start_program(["/usr/lib/qt6/bin/linguist"])
        path = os.path.join(session.home, "bench.js")
        with open(path, "w") as file:
            file.write(WATCH)
        session.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.loadScript", f"string:{path}",
                         "string:bench")
        session.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.start")
        corner = lambda: (session.frame(window)["x"] + session.frame(window)["w"] - 20,  # noqa: E731
                          session.frame(window)["y"] + session.frame(window)["h"] - 20)
        for drag in range(SHOWINGS):
            start, way = corner(), 1 if drag % 2 else -1
            session.resize_by_hand(window, start, (start[0] + 40 * way, start[1] + 40 * way), 8,
                                   lambda step: time.sleep(STEP_SECONDS), button="right", holding=125)
            # The program's last size, drawn after the release, shows the badge once more.
            settle(lambda: session.size(window), "the window's last size")
            wait_until(lambda: not session.badges(), what="the badge to hide")
        shown = [json.loads(line[len("js: shown "):])
                 for line in session.kwin.errors.matching(lambda line: line.startswith("js: shown "))]
        session.kwin.errors.lines.clear()
        start = corner()
        session.resize_by_hand(window, start, (start[0] - 300, start[1] - 300), STEPS,
                               lambda step: time.sleep(STEP_SECONDS), button="right", holding=125)
        wait_until(lambda: not session.badges(), what="the badge to hide")
        events = [json.loads(line[len("js: bench "):])
                  for line in session.kwin.errors.matching(lambda line: line.startswith("js: bench "))]
        print(json.dumps({**latencies(events), **showings(shown), "idle_switches": idle_switches(nivu.pid)}))


if __name__ == "__main__":
    main()
