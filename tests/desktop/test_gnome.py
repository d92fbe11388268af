"""Nivu on GNOME's Wayland session: GNOME Shell headless with Nivu's extension, which Nivu
installs itself at its first start and GNOME loads at the next start of the shell (a user's
next login); real Wayland programs, a GTK one and a Qt one, as tracked applications, resized by
hand and by the hot key's presets."""

import json
import os
import signal
import unittest

from gnome_session import GnomeShellSession
from harness import LineReader, badge_beside, binary, holds_for, holds_within, settle, wait_until

ALT, SUPER, CONTROL, R, K, ESCAPE = 0xFFE9, 0xFFEB, 0xFFE3, 0x72, 0x6B, 0xFF1B
PROGRAMS = [  # the command, the application id the shell reports, where its corner is held
    # GTK 4 draws its own title bar and edges, these in its shadow just outside the visible
    # corner. Its size is its frame, without the shadow.
    (["gnome-text-editor"], "org.gnome.TextEditor", 4),
    # Qt draws its own title bar and edges here too (GNOME has no server-side ones), the edges
    # inside its frame: its size is its frame, with them.
    (["/usr/lib/qt6/bin/linguist"], "linguist", -2),
]
UUID = "nivu@nivu.org"
# Each frame that draws one of Nivu's placed windows faded or shrunk, also as it closes (the
# shell then no longer lists it): its opacity and scale.
PARTWAY_WATCH = """globalThis.nivuTestPartway = [], globalThis.nivuTestOwn = new Set(),
globalThis.nivuTestPaint = global.stage.connect('after-paint', () => {
  for (const a of global.get_window_actors()) {
    if (['Nivu size', 'Nivu presets'].includes(a.meta_window.get_title()) && !nivuTestOwn.has(a))
      nivuTestOwn.add(a) && a.connect('destroy', () => nivuTestOwn.delete(a));
  }
  nivuTestOwn.forEach(a => (a.opacity < 255 || a.scale_x < 1 || a.scale_y < 1)
    && nivuTestPartway.push([a.opacity, a.scale_x, a.scale_y]));
}), true"""


def menus(session):
    """Nivu's preset menus: where they are and whether they have the keyboard."""
    return [(m["x"], m["y"], m["focus"]) for m in session.windows() if m["title"] == "Nivu presets"]


def choose_fhd(session, window):
    """Clicks FHD, the seventh of ten presets, and waits for the window's 1920 x 1080."""
    menu = next(m for m in session.windows() if m["title"] == "Nivu presets")
    session.click(menu["x"] + menu["w"] // 2, menu["y"] + menu["h"] * 13 // 20, on=menu["id"])
    wait_until(lambda: session.size(window) == (1920, 1080), what=lambda: f"FHD: {session.windows()}")


class SizesOnGnomeWayland(unittest.TestCase):
    def test_first_start_installs_the_extension_then_badge_record_restore_and_preset(self):
        with GnomeShellSession() as session:
            tracked = {"rememberedSizes": {}, "trackedBundleIdentifiers": [app for _, app, _ in PROGRAMS]}
            # The first start: Nivu puts its extension where GNOME finds it, enables it in GNOME's
            # settings and explains that GNOME loads it at the next login.
            nivu = session.start_nivu(json.dumps(tracked))
            installed = os.path.join(session.extensions, UUID)
            wait_until(lambda: os.path.exists(os.path.join(installed, "extension.js")), what="the extension installed")
            wait_until(lambda: UUID in session.gsettings("get", "org.gnome.shell", "enabled-extensions"),
                       what="the extension enabled in GNOME's settings")
            wait_until(lambda: [w for w in session.windows() if w["title"] == "Nivu"], what="the explanation")
            self.assertEqual(session.end(nivu), 0)
            # The next login: the shell loads the extension, and Nivu has access at once.
            session.stop_shell()
            session.start_shell()
            self.assertEqual(session.extension_state(), 1.0, session.shell.errors.lines[-10:])
            nivu = session.start_nivu(json.dumps(tracked))
            holds_for(lambda: not [w for w in session.windows() if w["title"] == "Nivu"], 1.0, what="no explanation")
            second = session.spawn([binary("nivu")], capture=True)
            self.assertEqual(second.wait(timeout=10), 1)
            self.assertIn(b"already running in this session", second.stderr.read())
            # nivu-inspect runs beside it, under a name of its own, and shows the ids to track.
            inspect = session.spawn([binary("nivu-inspect")], capture=True)
            inspected = LineReader(inspect.stdout, parse_json=True)
            for command, app, inside in PROGRAMS:
                with self.subTest(app):
                    self.resize_restore_and_preset(session, tracked, inspected, command, app, inside)
            self.preset_while_the_badge_shows(session)
            # A tracked window that vanishes at once, before Nivu restores its size: all goes on.
            vanishing = session.spawn(PROGRAMS[0][0], env=session.own_settings())
            wait_until(lambda: any(w["pid"] == vanishing.pid for w in session.windows()), timeout=30,
                       what="a window that vanishes at once")
            session.end(vanishing, signal.SIGKILL)
            holds_for(lambda: session.shell.poll() is None and session.eval("true") == "true", 1.0,
                      what="GNOME Shell running on")
            self.assertIsNone(nivu.poll(), nivu.errors.lines)
            # Without a tray (no StatusNotifier host), Nivu's menu is in the top bar and acts
            # through Nivu; where one starts, the tray shows Nivu's icon instead. Quitting from
            # the top bar leaves the shell running, the extension idle and nothing grabbed or shown.
            in_top_bar = lambda: session.eval("Main.panel.statusArea['nivu'] !== undefined") == "true"  # noqa: E731
            self.assertTrue(in_top_bar())
            session.bus_name("org.kde.StatusNotifierWatcher", own=True)
            wait_until(lambda: not in_top_bar(), what="Nivu's button gone from the top bar for the tray's icon")
            session.bus_name("org.kde.StatusNotifierWatcher", own=False)
            wait_until(in_top_bar, what="Nivu's button back in the top bar")
            session.choose_in_top_bar("nivu", "About Nivu")
            wait_until(lambda: [w for w in session.windows() if w["title"] == "About Nivu" and w["focus"]],
                       what="the About panel")
            session.type(ESCAPE)
            wait_until(lambda: not [w for w in session.windows() if w["title"] == "About Nivu"], what="About closed")
            # A shortcut recorded in the settings replaces the hot key in the shell at once.
            session.choose_in_top_bar("nivu", "Settings\u2026")
            settings = wait_until(lambda: [w for w in session.windows() if w["title"] == "Nivu 設定" and w["focus"]],
                                  what="the settings window in front")[0]
            # Record…, right of the shortcut's label (220 wide at least) near the window's foot,
            # once the window keeps its place.
            place = lambda: (frame := session.frame(settings["id"])) and (frame["x"], frame["y"], frame["h"])  # noqa: E731
            settle(place, "the settings window")
            x, y, height = place()
            session.click(x + 295, y + height - 45, on=settings["id"])
            held = "(a => (a && global.display.ungrab_accelerator(a), a === 0))(global.display.grab_accelerator('{}', 0))"
            # Qt 6.11 may deliver the click's release after keys that follow it within a few
            # milliseconds, though the shell sends them in order (seen in the protocol's log): the
            # recorder then starts listening after the keys went by (1 suite run in 4 with two CPU
            # hogs on GNOME 50). Only Nivu knows when it listens, so a hand that sees no shortcut
            # taken types it again, as a user would.
            for _ in range(3):
                session.type(CONTROL, ALT, K)
                if holds_within(lambda: session.eval(held.format("<Control><Alt>k")) == "true", 5):
                    break
            else:
                raise AssertionError("Ctrl+Alt+K not Nivu's after three tries")
            wait_until(lambda: session.eval(held.format("<Super><Alt>r")) == "false", what="Alt+Super+R let go")
            session.type(ESCAPE)  # closes the settings
            wait_until(lambda: not [w for w in session.windows() if w["app"] == "nivu"], what="Nivu's windows closed")
            editor, _ = session.start_program(PROGRAMS[0][0])  # a window for the presets
            session.move(900, 500)
            session.type(CONTROL, ALT, K)
            wait_until(lambda: menus(session) == [(900, 500, True)],
                       what=lambda: f"the preset menu at the pointer on the new shortcut: {session.windows()}")
            session.type(ESCAPE)
            session.end(editor)
            session.choose_in_top_bar("nivu", "Quit Nivu")
            self.assertEqual(nivu.wait(timeout=10), 0)
            wait_until(lambda: not in_top_bar(), what="Nivu's button gone from the top bar")
            self.assertEqual(session.extension_state(), 1.0)
            self.assertEqual(session.eval(held.format("<Control><Alt>k")), "false", "Ctrl+Alt+K let go at quit")
            self.assertEqual(session.eval("true"), "true")

    # The programs a check started, ended by it, or after it where it fails.
    def start(self, session, command):
        program, window = session.start_program(command)
        self.running.append(program)
        return program, window

    def end(self, session, program):
        self.running.remove(program)
        session.end(program)

    def resize_restore_and_preset(self, session, tracked, inspected, command, app, inside):
        """A drag of the window's corner is recorded, with the badge beside the pointer; the next
        window opens at the stored size; the hot key's FHD gives it 1920 x 1080."""
        self.running = []
        try:
            self.checks(session, tracked, inspected, command, app, inside)
        finally:  # a program left running would take the next one's start over
            for program in self.running:
                session.end(program)

    def checks(self, session, tracked, inspected, command, app, inside):
        program, window = self.start(session, command)
        inspected.wait_for(lambda line: line.get("bundleIdentifier") == app and line["event"] == "frontmost",
                           what=f"nivu-inspect to show {app} in front")
        session.place_window(window, 200, 150)
        frame = session.frame(window)
        corner = (frame["x"] + frame["w"] + inside, frame["y"] + frame["h"] + inside)

        def badge_beside_pointer(step):
            if step < 4:
                return
            x, y = session.pointer()
            wait_until(lambda: [(b["x"], b["y"]) for b in session.badges()] == [badge_beside(x, y)],
                       timeout=2, what=f"the badge beside the pointer at {x}, {y}: {session.badges()}")
        session.resize_by_hand(window, corner, (corner[0] + 90, corner[1] + 60), 12, badge_beside_pointer)
        wait_until(lambda: not session.badges(), what="the badge to hide after the resize")
        # A busy program may draw its last size after the badge hid, a live resize of its own
        # that Nivu records in turn: what counts is the size the window closes at.
        self.end(session, program)
        wait_until(lambda: session.frame(window) is None, what=f"{app} closed")
        width, height = session.last_size(window)
        self.assertGreater(width, frame["w"] + 40, "the drag resized the window")
        wait_until(lambda: session.stored_size(app) == {"width": width, "height": height},
                   what=f"{width} x {height} recorded: {session.stored_size(app)}")
        tracked["rememberedSizes"][app] = {"_default": {"width": 930, "height": 610}}
        session.write_config(json.dumps(tracked))  # a size only nivu can give it
        program, window = self.start(session, command)
        wait_until(lambda: session.size(window) == (930, 610),
                   what=f"the new {app} at 930 x 610: {session.frame(window)}")
        holds_for(lambda: session.frame(window)["focus"], 0.6, what=f"{app} in focus")
        # Alt+Super+R: the presets open at the pointer, with the keyboard; FHD is the seventh of
        # ten, chosen by a click: the shell counts a new window as focused a moment before its
        # keyboard goes there, and keys typed at once may reach the window before (1 suite run
        # in 4 with two CPU hogs lost one or more).
        session.move(700, 400)
        session.type(ALT, SUPER, R)
        wait_until(lambda: menus(session) == [(700, 400, True)],
                   what=lambda: f"the preset menu at the pointer: {session.windows()}")
        choose_fhd(session, window)
        self.end(session, program)

    def preset_while_the_badge_shows(self, session):
        """The hot key pressed while the badge shows a resize of the window in front: the menu
        opens at the pointer with the keyboard, keeps it as the badge hides and shows again,
        and its FHD sizes that window."""
        grower, window = session.start_growing_window()
        wait_until(lambda: session.frame(window)["focus"], what="the growing window in front")
        # With animations on, the badge shows and goes at once: no frame draws it part-way,
        # faded or shrunk, as the shell opens and closes other windows.
        session.animate(True)
        session.eval(PARTWAY_WATCH)
        grower.tell("grow")
        wait_until(session.badges, what="the badge of a window that resizes itself")
        session.move(700, 400)
        session.type(ALT, SUPER, R)
        wait_until(lambda: menus(session) == [(700, 400, True)] and session.badges(),
                   what=lambda: f"the preset menu at the pointer beside the badge: {session.windows()}")
        # The shell gives the badge's new window the keyboard as it shows again; the extension
        # hands it back to the menu.
        session.badge_hides_and_shows_again(grower)
        holds_for(lambda: menus(session) == [(700, 400, True)], 0.5, what="the menu open with the keyboard")
        self.assertEqual(session.eval("global.stage.disconnect(nivuTestPaint) || nivuTestPartway"), "[]")
        session.animate(False)
        choose_fhd(session, window)
        session.end(grower)


class RefusalsOnGnomeWayland(unittest.TestCase):
    def test_an_extension_gnome_will_not_run_is_named_or_replaced_when_older(self):
        with open(os.path.join(os.path.dirname(binary("nivu")), "gnome-extension", "module", UUID,
                               "metadata.json")) as file:
            own = json.load(file)["version"]
        # A copy that lists no GNOME of today: GNOME loads it as out of date, and answers true
        # to turning it on. Nivu's own version: Nivu says so; an earlier Nivu's: Nivu replaces it.
        for version, says in ((own, "out of date for this version of GNOME"), (own - 1, "replaced an older copy")):
            with self.subTest(version=version), \
                    GnomeShellSession(nivu_extension={"shell-version": ["42"], "version": version}) as session:
                self.assertEqual(session.extension_state(), 4.0, "out of date")
                nivu = session.start_nivu("{}")
                wait_until(lambda: [w for w in session.windows() if w["title"] == "Nivu"], what="the explanation")
                nivu.errors.wait_for(lambda line: says in line and UUID in line, what=f"nivu to say: {says}")
                self.assertEqual(session.end(nivu), 0)
                if version == own:
                    continue
                self.assertEqual(session.installed_metadata()["version"], own)
                session.stop_shell()  # the next login
                session.start_shell()
                self.assertEqual(session.extension_state(), 1.0, session.shell.errors.lines[-10:])
                nivu = session.start_nivu("{}")
                holds_for(lambda: not [w for w in session.windows() if w["title"] == "Nivu"], 1.0,
                          what="no explanation")
                self.assertEqual(session.end(nivu), 0)


if __name__ == "__main__":
    unittest.main()
