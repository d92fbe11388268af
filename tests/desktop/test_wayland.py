"""Nivu on Plasma's Wayland session: KWin headless with Nivu's script loaded into it, and real
Wayland programs, a Qt one and a GTK one, as tracked applications, resized by hand and by the
hot key's presets."""

import json
import unittest

from harness import KEY_META, KWinSession, LineReader, badge_beside, binary, qt_version, settle, wait_until
from wayland_scenario import FHD, WaylandScenario

PROGRAMS = [  # the command, the application id KWin reports, and the hand's resize there
    # Qt asks KWin for its title bar: resized with Plasma's Meta and right button. Its size is
    # what it draws, inside Breeze's title bar and borders.
    (["/usr/lib/qt6/bin/linguist"], "linguist", dict(inside=-20, titled=True, button="right", holding=KEY_META)),
    # GTK 4 draws its own title bar and edges, these in its shadow just outside the visible
    # corner. Its size is its frame, without the shadow.
    (["gnome-text-editor"], "org.gnome.TextEditor", dict(inside=8)),
]


class SizesOnPlasmaWayland(WaylandScenario, unittest.TestCase):
    def test_badge_record_restore_preset_and_one_nivu_per_session(self):
        with KWinSession() as session:
            tracked = {"rememberedSizes": {}, "trackedBundleIdentifiers": [app for _, app, _ in PROGRAMS]}
            # KWin loads the script as Nivu starts: access is there at once.
            nivu, inspect, inspected = self.start_with_access(session, tracked)
            for index, (command, app, hand) in enumerate(PROGRAMS):
                with self.subTest(app):
                    if index > 0:  # any program on the bus may drop the scripts: they come back
                        for script in ("nivu", f"nivu-inspect-{inspect.pid}"):
                            session.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.unloadScript",
                                             f"string:{script}")
                            self.assertFalse(session.script_loaded(script))
                        for script in ("nivu", f"nivu-inspect-{inspect.pid}"):
                            wait_until(lambda: session.script_loaded(script), what=f"{script} loaded again")
                    self.resize_restore_and_preset(session, tracked, inspected, command, app, **hand)
            self.preset_while_the_badge_shows(session)
            self.a_window_that_vanishes_at_once_does_no_harm(session, nivu, PROGRAMS[0][0])
            self.assertEqual(session.end(nivu), 0)
            self.assertFalse(session.script_loaded("nivu"), "the script is unloaded at quit")

    def test_nivu_outlives_a_kwin_restart_from_qt_6_6(self):
        """Plasma's wrapper starts KWin again where it ends and has Qt programs connect again,
        which Qt does from 6.6 on: Nivu's script is loaded into the new KWin, and the badge, the
        restore and the hot key's presets work on. An earlier Qt ends with its compositor."""
        with KWinSession(wrapped=True) as session:
            command, app, hand = PROGRAMS[0]
            tracked = {"rememberedSizes": {}, "trackedBundleIdentifiers": [app]}
            nivu = session.start_nivu(json.dumps(tracked))
            session.crash_kwin()
            if qt_version() < (6, 6):
                self.assertNotEqual(nivu.wait(timeout=10), 0, "Qt before 6.6 ends with its compositor")
                return
            wait_until(lambda: session.script_loaded("nivu"), what="Nivu's script loaded into the new KWin")
            inspect = session.spawn([binary("nivu-inspect")], capture=True)
            self.resize_restore_and_preset(session, tracked, LineReader(inspect.stdout, parse_json=True), command,
                                           app, **hand)
            self.assertIsNone(nivu.poll(), nivu.errors.lines)
            self.assertEqual(session.end(nivu), 0)

    def test_on_two_monitors_the_badge_and_a_preset_keep_to_the_monitor(self):
        """Two monitors side by side, 1280 wide each: the badge flips to the pointer's left where
        the left one ends and is right of it again on the right one; FHD, wider than the left
        monitor, fills its width and moves inside it."""
        with KWinSession(monitors=2) as session:
            session.start_nivu("{}")
            grower, window = session.start_growing_window()
            settle(lambda: session.frame(window), "the growing window")
            frame = session.frame(window)
            corner = (frame["x"] + frame["w"] - 20, frame["y"] + frame["h"] - 20)

            def badge_on_the_monitor_under_the_pointer(step):
                if step < 4:
                    return
                x, y = session.pointer()
                monitor = (0, 0, 1280, 1440) if x < 1280 else (1280, 0, 1280, 1440)
                wait_until(lambda: [(b["x"], b["y"]) for b in session.badges()] == [badge_beside(x, y, monitor)],
                           timeout=2, what=f"the badge beside the pointer at {x}, {y} on {monitor}: {session.badges()}")
            session.resize_by_hand(window, corner, (1400, corner[1] + 20), 12, badge_on_the_monitor_under_the_pointer,
                                   "right", KEY_META)
            wait_until(lambda: not session.badges(), what="the badge to hide after the resize")
            session.move(600, 300)
            session.press_hot_key()
            wait_until(lambda: session.menus() == [(600, 300, True)], what=lambda: f"the preset menu: {session.windows()}")
            session.choose_preset(FHD)
            wait_until(lambda: (f := session.frame(window)) and (f["x"], f["w"], f["bh"]) == (0, 1280, 1080)
                       and 0 <= f["y"] and f["y"] + f["h"] <= 1440,
                       what=lambda: f"FHD inside the left monitor: {session.frame(window)}")
            session.end(grower)


if __name__ == "__main__":
    unittest.main()
