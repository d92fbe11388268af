"""Nivu on Plasma's Wayland session: KWin headless with Nivu's script loaded into it, and real
Wayland programs, a Qt one and a GTK one, as tracked applications, resized by hand and by the
hot key's presets."""

import json
import signal
import unittest

from harness import KWinSession, LineReader, badge_beside, binary, holds_for, qt_version, settle, wait_until

META, ALT, R, DOWN, ENTER = 125, 56, 19, 108, 28  # Linux key codes
PROGRAMS = [  # the command, the application id KWin reports, and the hand's resize there
    # Qt asks KWin for its title bar: resized with Plasma's Meta and right button. Its size is
    # what it draws, inside Breeze's title bar and borders.
    (["/usr/lib/qt6/bin/linguist"], "linguist", dict(inside=-20, button="right", holding=META, titled=True)),
    # GTK 4 draws its own title bar and edges, these in its shadow just outside the visible
    # corner. Its size is its frame, without the shadow.
    (["gnome-text-editor"], "org.gnome.TextEditor", dict(inside=8, button="left", holding=None, titled=False)),
]


class SizesOnPlasmaWayland(unittest.TestCase):
    def test_badge_record_restore_preset_and_one_nivu_per_session(self):
        with KWinSession() as session:
            tracked = {"rememberedSizes": {}, "trackedBundleIdentifiers": [app for _, app, _ in PROGRAMS]}
            nivu = session.start_nivu(json.dumps(tracked))
            # KWin loads the script as Nivu starts: access is there at once, nothing to explain.
            holds_for(lambda: not [w for w in session.windows() if w["caption"] == "Nivu"], 1.0, what="no explanation")
            second = session.spawn([binary("nivu")], capture=True)
            self.assertEqual(second.wait(timeout=10), 1)
            self.assertIn(b"already running in this session", second.stderr.read())
            # nivu-inspect runs beside it, under names of its own, and shows the ids to track.
            inspect = session.spawn([binary("nivu-inspect")], capture=True)
            inspected = LineReader(inspect.stdout, parse_json=True)
            for index, (command, app, hand) in enumerate(PROGRAMS):
                with self.subTest(app):
                    if index > 0:  # any program on the bus may drop the scripts: they come back
                        for script in ("nivu", f"nivu-inspect-{inspect.pid}"):
                            session.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.unloadScript",
                                             f"string:{script}")
                            self.assertFalse(session.script_loaded(script))
                        for script in ("nivu", f"nivu-inspect-{inspect.pid}"):
                            wait_until(lambda: session.script_loaded(script), what=f"{script} loaded again")
                    self.resize_restore_and_preset(session, tracked, inspected, command, app, hand)
            self.preset_while_the_badge_shows(session)
            # A tracked window that vanishes at once, before Nivu restores its size: all goes on.
            vanishing = session.spawn(PROGRAMS[0][0], env=session.own_settings())
            wait_until(lambda: any(w["pid"] == vanishing.pid for w in session.windows()), timeout=30,
                       what="a window that vanishes at once")
            session.end(vanishing, signal.SIGKILL)
            holds_for(lambda: session.kwin.poll() is None and session.script_loaded("nivu"), 1.0,
                      what="KWin and Nivu's script running on")
            self.assertIsNone(nivu.poll(), nivu.errors.lines)
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
                                           app, hand)
            self.assertIsNone(nivu.poll(), nivu.errors.lines)
            self.assertEqual(session.end(nivu), 0)

    def test_on_two_monitors_the_badge_and_a_preset_keep_to_the_monitor(self):
        """Two monitors side by side, 1280 wide each: the badge flips to the pointer's left where
        the left one ends, and FHD, wider than that monitor, fills its width and moves inside it."""
        with KWinSession(monitors=2) as session:
            session.start_nivu("{}")
            grower, window = session.start_growing_window()
            settle(lambda: session.frame(window), "the growing window")
            frame = session.frame(window)
            corner = (frame["x"] + frame["w"] - 20, frame["y"] + frame["h"] - 20)
            end = (1240, corner[1] + 20)

            def badge_on_the_left_monitor(step):
                if step < 10:
                    return
                pointer = session.run_script("say(workspace.cursorPos);")[0]
                wait_until(lambda: [(b["x"] + b["w"], b["y"]) for b in session.badges()] == [
                    (pointer["x"] - 16, pointer["y"] + 16)], timeout=2,
                    what=f"the badge left of the pointer at {pointer}: {session.badges()}")
            session.resize_by_hand(window, corner, end, 12, badge_on_the_left_monitor, "right", META)
            wait_until(lambda: not session.badges(), what="the badge to hide after the resize")
            session.press("move", 600, 300)
            session.type(ALT, META, R)
            wait_until(lambda: [m for m in session.windows() if m["caption"] == "Nivu presets" and m["active"]],
                       what=lambda: f"the preset menu: {session.windows()}")
            for _ in range(7):
                session.type(DOWN)
            session.type(ENTER)
            wait_until(lambda: (f := session.frame(window)) and (f["x"], f["w"], f["bh"]) == (0, 1280, 1080)
                       and 0 <= f["y"] and f["y"] + f["h"] <= 1440,
                       what=lambda: f"FHD inside the left monitor: {session.frame(window)}")
            session.end(grower)

    def resize_restore_and_preset(self, session, tracked, inspected, command, app, hand):
        """A drag of the window's corner is recorded, with the badge beside the pointer; the next
        window opens at the stored size; the hot key's FHD gives it 1920 x 1080."""
        shown = session.buffer_size if hand["titled"] else session.size
        program, window = session.start_program(command)
        if hand["titled"]:
            frame = session.frame(window)
            self.assertGreater(frame["h"] - frame["bh"], 20, f"a Breeze title bar on {app}: {frame}")
        inspected.wait_for(lambda line: line.get("bundleIdentifier") == app and line["event"] == "frontmost",
                           what=f"nivu-inspect to show {app} in front")
        frame = session.frame(window)
        corner = (frame["x"] + frame["w"] + hand["inside"], frame["y"] + frame["h"] + hand["inside"])

        def badge_beside_pointer(step):
            if step < 4:
                return
            pointer = session.run_script("say(workspace.cursorPos);")[0]
            wait_until(lambda: [(b["x"], b["y"]) for b in session.badges()] == [
                badge_beside(pointer["x"], pointer["y"])], timeout=2,
                what=f"the badge beside the pointer at {pointer}: {session.badges()}")
        session.resize_by_hand(window, corner, (corner[0] + 90, corner[1] + 60), 12,
                               badge_beside_pointer, hand["button"], hand["holding"])
        wait_until(lambda: not session.badges(), what="the badge to hide after the resize")
        width, height = shown(window)
        self.assertGreater(width, 700, "the drag resized the window")
        # A loaded KWin may pause longer than the half second that ends a live resize:
        # its last steps then make a resize of their own, recorded half a second on.
        wait_until(lambda: session.stored_size(app) == {"width": width, "height": height},
                   what=f"{width} x {height} recorded: {session.stored_size(app)}")
        session.end(program)
        wait_until(lambda: session.frame(window) is None, what=f"{app} closed")
        tracked["rememberedSizes"][app] = {"_default": {"width": 930, "height": 610}}
        session.write_config(json.dumps(tracked))  # a size only nivu can give it
        program, window = session.start_program(command)
        wait_until(lambda: shown(window) == (930, 610),
                   what=f"the new {app} at 930 x 610: {session.frame(window)}")
        # The badge shows the restored size; the window keeps the focus meanwhile.
        holds_for(lambda: session.frame(window)["active"], 0.6, what=f"{app} in focus")
        # Alt+Super+R: the presets open at the pointer; FHD is the seventh below.
        session.press("move", 700, 400)
        session.type(ALT, META, R)
        wait_until(lambda: [(m["x"], m["y"], m["active"]) for m in session.windows()
                            if m["caption"] == "Nivu presets"] == [(700, 400, True)],
                   what=f"the preset menu at the pointer: {session.windows()}")
        for _ in range(7):
            session.type(DOWN)
        session.type(ENTER)
        wait_until(lambda: shown(window) == (1920, 1080),
                   what=f"FHD on {app}: {session.frame(window)}")
        session.end(program)

    def preset_while_the_badge_shows(self, session):
        """The hot key pressed while the badge shows a resize of the window in front: the menu
        opens at the pointer with the keyboard, keeps it as the badge hides and shows again, and
        its FHD sizes that window."""
        grower, window = session.start_growing_window()
        wait_until(lambda: session.frame(window)["active"], what="the growing window in front")
        grower.tell("grow")
        wait_until(session.badges, what="the badge of a window that resizes itself")
        session.press("move", 700, 400)
        session.type(ALT, META, R)
        menu = lambda: [(m["x"], m["y"], m["active"]) for m in session.windows()  # noqa: E731
                        if m["caption"] == "Nivu presets"]
        wait_until(lambda: menu() == [(700, 400, True)] and session.badges(),
                   what=lambda: f"the preset menu at the pointer beside the badge: {session.windows()}")
        session.badge_hides_and_shows_again(grower)
        holds_for(lambda: menu() == [(700, 400, True)], 0.5, what="the menu open with the keyboard")
        for _ in range(7):
            session.type(DOWN)
        session.type(ENTER)
        wait_until(lambda: session.buffer_size(window) == (1920, 1080),
                   what=lambda: f"FHD on the growing window: {session.frame(window)}")
        session.end(grower)


if __name__ == "__main__":
    unittest.main()
