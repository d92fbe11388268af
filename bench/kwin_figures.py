"""The badge's latency on Plasma's Wayland session: a hand drags a Qt window's corner (Meta and
the right button) through KWin's fake input, and a KWin script notes, in KWin's clock, each
step of the resize and each move of Nivu's badge. Latency is from a step to the badge's next
move: the script's report to Nivu, Nivu's work and its command back. The hand moves at 125 Hz,
a plain mouse's rate. Prints one JSON object."""

import json
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "desktop"))

from harness import KWinSession, wait_until  # noqa: E402

STEPS = 300
STEP_SECONDS = 0.008
WATCH = """
function watchBadge(w) {
    if (w.caption !== "Nivu size") return;
    w.frameGeometryChanged.connect(function () { print("bench badge " + Date.now()); });
}
(workspace.windowList ? workspace.windowList() : workspace.clientList()).forEach(watchBadge);
workspace.clientAdded.connect(watchBadge);
(workspace.windowList ? workspace.windowList() : workspace.clientList()).forEach(function (w) {
    if (w.resourceClass !== "linguist") return;
    w.clientStepUserMovedResized.connect(function () { print("bench step " + Date.now()); });
});
"""


def main():
    with KWinSession() as session:
        session.start_nivu(json.dumps({"rememberedSizes": {}, "trackedBundleIdentifiers": []}))
        _, window = session.start_program(["/usr/lib/qt6/bin/linguist"])
        path = os.path.join(session.home, "bench.js")
        with open(path, "w") as file:
            file.write(WATCH)
        session.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.loadScript", f"string:{path}",
                         "string:bench")
        session.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.start")
        frame = session.frame(window)
        corner = (frame["x"] + frame["w"] - 20, frame["y"] + frame["h"] - 20)
        session.resize_by_hand(window, corner, (corner[0] - 300, corner[1] - 300), STEPS,
                               lambda step: time.sleep(STEP_SECONDS), button="right", holding=125)
        wait_until(lambda: not session.badges(), what="the badge to hide")
        events = [line.split()[2:] for line in session.kwin.errors.matching(lambda l: l.startswith("js: bench "))]
        latencies, pending = [], []
        for kind, stamp in events:
            if kind == "step":
                pending.append(int(stamp))
            elif pending:
                latencies.extend(int(stamp) - step for step in pending)
                pending = []
        latencies.sort()
        at = lambda share: latencies[min(len(latencies) - 1, int(share * len(latencies)))]
        print(json.dumps({"steps": len(latencies), "p50_ms": at(0.5), "p99_ms": at(0.99)}))


if __name__ == "__main__":
    main()
