"""Sizes with the real nivu: the live badge during a drag, remembered and restored sizes, and
presets from the menu on the global hot key; windows that vanish or carry hostile properties."""

import json
import os
import random
import time
import unittest

from Xlib import X, Xatom

from harness import Desktop, DesktopTestCase, holds_for, read_bytes, wait_until


def badge_at(desktop, x, y, scale=1):
    near = lambda a, b: abs(a - b) <= 2  # noqa: E731 (rounding to whole pixels)
    return [b for b in desktop.popups() if near(b["x"], x + 16 * scale) and near(b["y"], y + 16 * scale)
            and near(b["width"], 120 * scale) and near(b["height"], 28 * scale)]


def drag_watching_the_badge(test, desktop, window, steps=24):
    """Drags the window's corner; checks that the badge first appears beside the pointer,
    follows it, and hides after the release. Where the window manager resizes only at the
    release (fluxbox draws an outline), the badge shows the final size there."""
    watch = {"pointers": [], "first": None}

    def look(step):
        watch["pointers"].append(desktop.pointer())
        watch["first"] = watch["first"] or next(iter(desktop.badges()), None)
        if step == 8:
            desktop.screenshot(f"badge-mid-drag-{desktop.window_manager}")
        if step in (8, steps - 4):
            x, y = desktop.pointer()
            wait_until(lambda: badge_at(desktop, x, y), what=f"the badge beside the pointer at ({x}, {y})")
    outline = desktop.window_manager == "fluxbox"
    desktop.drag(window, 6, 4, steps, on_step=None if outline else look)
    if outline:
        x, y = desktop.pointer()
        wait_until(lambda: badge_at(desktop, x, y), what=f"the badge beside the pointer at ({x}, {y}) after the release")
    else:
        test.assertIn((watch["first"]["x"] - 16, watch["first"]["y"] - 16), watch["pointers"], "never elsewhere")
    wait_until(lambda: not desktop.badges(), what="the badge to hide after the release")


def valid_document(path):
    """config.json as nivu must always leave it: one whole, strictly formed document."""
    document = json.loads(read_bytes(path).decode("utf-8"))
    assert isinstance(document["trackedBundleIdentifiers"], list)
    for windows in document["rememberedSizes"].values():
        for size in windows.values():
            assert isinstance(size["width"], int) and isinstance(size["height"], int)
    return document


def choose_preset(desktop, downs=7):
    """Opens the preset menu on the hot key and chooses an entry (the 7th: FHD (1080p))."""
    desktop.keys("super+alt+r")
    menu = wait_until(lambda: desktop.popups(100), what="the preset menu")[0]
    desktop.screenshot(f"preset-menu-{desktop.window_manager}")
    desktop.keys(*["Down"] * downs, "Return")
    desktop.wait_closed(menu)
    return menu


class SizesWithNivu(DesktopTestCase):
    screen = "2560x1600x24"

    def test_the_hot_key_opens_the_presets_at_the_pointer_and_a_choice_resizes_the_focused_window(self):
        self.desktop.start_nivu()
        xterm = self.desktop.start_xterm()
        origin = self.desktop.geometry(xterm)
        self.desktop.xdotool("mousemove", 700, 500)
        menu = choose_preset(self.desktop)
        self.assertEqual((menu["x"], menu["y"]), (700, 500), "the menu opens at the pointer")
        size = wait_until(lambda: self.desktop.size(xterm)[0] > 1800 and self.desktop.geometry(xterm))
        self.assertLess(abs(size["width"] - 1920) + abs(size["height"] - 1080), 30, "as near as the hints allow")
        self.assertEqual((size["x"], size["y"]), (origin["x"], origin["y"]), "resized in place")

        # A maximized window leaves that state for the preset; a new one that opens maximized
        # is left so, though a size is remembered (the preset's, just recorded).
        self.desktop.maximize(xterm)
        choose_preset(self.desktop, downs=1)  # VGA (640 x 480)
        wait_until(lambda: not self.desktop.maximized(xterm) and self.desktop.size(xterm)[0] < 700,
                   what=f"the xterm at VGA, no longer maximized: {self.desktop.size(xterm)}")
        wait_until(lambda: self.desktop.stored_size("XTerm"), what="the preset's size recorded")
        maximized = self.desktop.new_client(lambda: self.desktop.make_window(
            b"xterm\0XTerm\0", states=["_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"]))
        self.desktop.settle(maximized)
        self.assertTrue(self.desktop.maximized(maximized) and self.desktop.size(maximized)[0] > 2000)

    def test_after_a_rest_the_badge_shows_the_new_size_not_the_last_drags(self):
        """Nivu makes its badge once and keeps it between drags: after 2 s without a resize, a
        drag of a step shows the new size, never the one the last drag ended on."""
        desktop = self.desktop
        desktop.start_nivu()
        xterm = desktop.start_xterm()
        seen = {}

        def settled_badge():
            """The pixels between the badge's round ends (which show what lies behind them) once
            a look 50 ms later finds them unchanged: painted."""
            badge = wait_until(desktop.badges, what="the badge")[0]
            pixels = lambda: desktop.root.get_image(badge["x"] + 14, badge["y"], badge["width"] - 28,  # noqa: E731
                                                    badge["height"], X.ZPixmap, 0xffffffff).data
            looks = [pixels()]
            return wait_until(lambda: looks.append(pixels()) or looks[-1] == looks[-2] and looks[-1],
                              what="the badge to keep its pixels", interval=0.05)

        desktop.drag(xterm, 6, 4, 8, on_step=lambda step: step == 7 and seen.update(last=settled_badge()))
        wait_until(lambda: not desktop.badges(), what="the badge to hide after the release")
        holds_for(lambda: not desktop.badges(), 2, "the badge hidden while nothing is resized")
        # One step past the manager's drag threshold, held.
        frame = desktop.frame(xterm)
        corner = (frame["x"] + frame["width"] - 2, frame["y"] + frame["height"] - 2)
        self.assertTrue(desktop.press_to_resize(xterm, corner, None, 1, (24, 0), 1, None))
        first = settled_badge()
        desktop.release(1, None)
        self.assertTrue(first != seen["last"], "the last drag's size shown after the rest")

    def test_only_main_windows_of_the_application_in_front_count_each_by_its_class_and_visible_size(self):
        """Dialogs, also one that names itself a normal window, and the windows behind the
        active application never count. A process with windows of two classes, as a browser
        with web apps, counts each window for its own class, by the size it shows without its
        shadow; a window whose class is named only after it maps is restored under that class."""
        desktop = self.desktop
        desktop.start_nivu(json.dumps({"trackedBundleIdentifiers": ["App", "WebAppOne", "WebAppTwo", "XTerm"],
                                       "rememberedSizes": {"App": {"_default": {"width": 640, "height": 400}}}}))
        xterm = desktop.start_xterm(500, 400)
        main = desktop.make_window(b"app\0App\0", role=b"main")
        dialog = desktop.make_window(b"app\0App\0", role=b"dlg", transient_for=main)
        options = desktop.make_window(b"app\0App\0", transient_for=main, window_type="_NET_WM_WINDOW_TYPE_NORMAL")
        wait_until(lambda: desktop.size(main.id) == (640, 400), what="the main window at the remembered size")
        for each in (dialog, options):
            desktop.settle(each.id)
            self.assertEqual(desktop.size(each.id), (300, 200), "a dialog is not given the size")
        desktop.activate(main.id)
        desktop.xdotool("windowsize", dialog.id, 250, 150)
        desktop.xdotool("windowsize", options.id, 260, 160)
        desktop.xdotool("windowsize", main.id, 520, 330)
        wait_until(lambda: desktop.stored("App").get("main") == {"width": 520, "height": 330},
                   what=f"the main window's size recorded: {desktop.stored('App')}")
        self.assertEqual(desktop.stored("App")["_default"], {"width": 640, "height": 400}, "no dialog's size")
        self.assertEqual(set(desktop.stored("App")), {"_default", "main"})
        # Named as LibreOffice names its windows: anew, once the window manager lists it, within
        # nivu's look at a new window 0.2 s later.
        renamed = desktop.make_window(b"loader\0Loader\0", role=b"main")
        wait_until(lambda: renamed.id in desktop.client_windows(), what="the window listed")
        renamed.change_property(Xatom.WM_CLASS, Xatom.STRING, 8, b"app\0App\0")
        desktop.x.sync()
        wait_until(lambda: desktop.size(renamed.id) == (520, 330), what="the renamed window at App's size")

        desktop.make_window(b"web\0WebAppOne\0", role=b"one")
        web = desktop.make_window(b"web\0WebAppTwo\0", role=b"two", shadow=[10, 10, 8, 12])
        wait_until(lambda: web.id in desktop.client_windows(), what="the web app listed")
        desktop.activate(web.id)
        desktop.xdotool("windowsize", web.id, 420, 260)
        wait_until(lambda: desktop.stored("WebAppTwo"), what="the web app's size recorded")
        self.assertEqual(desktop.stored("WebAppTwo"), {"two": {"width": 400, "height": 240}})
        self.assertEqual(desktop.stored("WebAppOne"), {})
        desktop.xdotool("windowsize", xterm, 500, 300)
        holds_for(lambda: not desktop.stored("XTerm"), 1.0, what="nothing recorded for the xterm behind")

    def test_windows_destroyed_in_a_burst_or_before_their_restore_do_no_harm(self):
        nivu = self.desktop.start_nivu('{"rememberedSizes": {"Burst": {"_default": {"width": 420, '
                                       '"height": 260}}}, "trackedBundleIdentifiers": ["Burst"]}')
        random.seed(11)
        restored = 0
        for round_ in range(500):
            window = self.desktop.make_window(b"burst\0Burst\0")
            if round_ % 5 == 0:
                for step in range(8):
                    window.configure(width=300 + step * 7, height=200 + step)
                self.desktop.x.flush()
            time.sleep(random.random() * 0.3)  # destroyed before, during or after the restore
            restored += window.get_geometry().width == 420
            window.destroy()
            self.desktop.x.sync()
        self.assertIsNone(nivu.poll(), "no X error ends nivu")
        self.assertGreater(restored, 0, "windows that lived long enough got their size")
        valid_document(self.desktop.config_path)

    def test_hostile_window_properties_never_reach_config_json_unsafely(self):
        nivu = self.desktop.start_nivu('{"rememberedSizes": {}, '
                                       '"trackedBundleIdentifiers": ["XTerm", "Hostil\u00e9"]}')
        cases = [  # WM_CLASS, role, the recorded kinds of Hostilé after it
            (b"hostile\0Hostil\xe9\0", b"role\xff\xfe\xc3", 1),  # Latin-1 class, bad UTF-8 role
            (b"hostile\0Hostil\xe9", b"r" * (1 << 20), 2),        # no NUL at the end, 1 MiB role
            (b"\xff" * 70000, b"\0\0\0", 2),                      # no class at all, NUL role
        ]
        for wm_class, role, kinds in cases:
            window = self.desktop.make_window(wm_class, role=role, pid=1)  # another user's process
            wait_until(lambda: window.id in self.desktop.client_windows(), what="the window listed")
            self.desktop.activate(window.id)
            self.desktop.drag(window.id, 5, 5, 3)
            wait_until(lambda: len(self.desktop.stored("Hostil\u00e9")) == kinds, what=f"{kinds} recorded kinds")
            window.destroy()
            self.desktop.x.sync()
        # Events come in order: once the xterm's size is in, the hostile windows' are done.
        xterm = self.desktop.start_xterm()
        self.desktop.drag(xterm, 8, 6, 4)
        wait_until(lambda: self.desktop.stored_size("XTerm"), what="the xterm's size")
        self.assertIsNone(nivu.poll())
        keys = list(valid_document(self.desktop.config_path)["rememberedSizes"]["Hostil\u00e9"])
        self.assertTrue(all(len(key.encode()) <= 8192 for key in keys), "long roles are capped")


TWO_MONITORS = {"screen": "2880x1000x24", "monitors": ("1600x1000+0+0", "1280x720+1600+0")}


class SizesOnOtherScreens(unittest.TestCase):
    """Scaled screens, two monitors, a small screen and a tiling window manager, each on a
    desktop of its own."""

    def test_the_badge_and_the_menu_sit_beside_the_pointer_and_presets_fit_the_monitor(self):
        """Qt scales its windows by the screen's factor: the badge and the menu still sit
        beside the pointer, by points, on the monitor where the pointer is. A preset larger
        than that monitor gives the largest size that shows whole there."""
        # The desktop, nivu's environment, where the xterm opens, the scale there, and where
        # FHD is chosen, the room it has: the monitor's left edge, width and height.
        for arguments, environment, (x, y), scale, room in (
                ({"resources": "Xft.dpi: 144\n"}, {}, (120, 120), 1.5, None),
                ({"resources": "Xft.dpi: 192\n"}, {}, (120, 120), 2, None),
                ({"screen": "1366x768x24"}, {"QT_SCALE_FACTOR": "1.25"}, (120, 120), 1.25, (0, 1366, 768)),
                (TWO_MONITORS, {"QT_SCREEN_SCALE_FACTORS": "1;2"}, (300, 500), 1, None),
                (TWO_MONITORS, {"QT_SCREEN_SCALE_FACTORS": "1;2"}, (1650, 100), 2, (1600, 1280, 720))):
            with self.subTest(**arguments, **environment, x=x), Desktop(**arguments) as desktop:
                desktop.start_nivu(env=environment)
                xterm = desktop.start_xterm(x, y)

                def badge_beside_pointer(step):
                    if step == 12:
                        px, py = desktop.pointer()
                        wait_until(lambda: badge_at(desktop, px, py, scale),
                                   what=f"a {scale}x badge beside the pointer at ({px}, {py}): {desktop.popups()}")
                        desktop.screenshot(f"badge-at-{scale}x-{x}")
                desktop.drag(xterm, 4, 3, 16, on_step=badge_beside_pointer)
                px, py = desktop.pointer()
                desktop.keys("super+alt+r")
                menu = wait_until(lambda: desktop.popups(40 * scale), what="the preset menu")[0]
                # At the pointer, or above it where the monitor has no room below.
                self.assertTrue(abs(menu["x"] - px) <= 2 and min(abs(menu["y"] - py), abs(
                    menu["y"] + menu["height"] - py - 1)) <= 2, (menu, px, py))
                if not room:
                    desktop.keys("Escape")
                    continue
                before = desktop.size(xterm)
                desktop.keys(*["Down"] * 7, "Return")  # FHD (1080p)
                wait_until(lambda: desktop.size(xterm)[1] > before[1] + 200, what="the xterm to grow")
                desktop.settle(xterm)
                f, (left_edge, width, height) = desktop.frame(xterm), room
                self.assertTrue(width - 12 < f["width"] <= width and f["height"] <= height, "as large as fits")
                self.assertGreaterEqual(f["x"], left_edge, "on its monitor still")

    def test_a_tiling_window_manager_that_refuses_the_size_is_not_fought(self):
        with Desktop("i3-tiling") as tiling:
            nivu = tiling.start_nivu()
            xterm = tiling.start_xterm()
            tiling.settle(xterm)
            tiled = tiling.size(xterm)
            choose_preset(tiling, downs=1)  # VGA: i3 answers with the tile's size
            holds_for(lambda: tiling.size(xterm) == tiled and not tiling.stored_size("XTerm"), 1.0,
                      what="the tile's size kept and nothing recorded")
            self.assertIsNone(nivu.poll())

    def test_a_size_request_the_manager_lists_but_ignores_is_made_again_though_the_window_moved_and_grew(self):
        with Desktop("ignoring") as desktop:
            desktop.start_nivu(json.dumps({"trackedBundleIdentifiers": ["XTerm"],
                                           "rememberedSizes": {"XTerm": {"_default": {"width": 530, "height": 310}}}}))
            xterm = desktop.start_xterm()
            wait_until(lambda: desktop.size(xterm) == (530, 310), what=lambda: f"the xterm restored: {desktop.size(xterm)}")


MATRIX = [  # each window manager as a session starts it, with a tracked program besides the xterm
    ("openbox", ["mousepad"], "Mousepad"),
    ("xfwm4", ["/usr/lib/qt6/bin/linguist"], "Linguist"),
    ("icewm", ["gnome-text-editor"], "gnome-text-editor"),
    ("fluxbox", ["mousepad"], "Mousepad"),
    ("i3", ["/usr/lib/qt6/bin/linguist"], "Linguist"),
    ("xfwm4-compositing", ["gnome-text-editor"], "gnome-text-editor"),  # a GTK4 shadow
    ("muffin", ["mousepad"], "Mousepad"),  # Cinnamon
    ("marco", ["mousepad"], "Mousepad"),  # MATE
    ("kwin_x11", ["/usr/lib/qt6/bin/linguist"], "Linguist"),  # Plasma on X11
    ("mutter", ["gnome-text-editor"], "gnome-text-editor"),  # GNOME on X11
    ("awesome", ["mousepad"], "Mousepad"),
    ("herbstluftwm", ["/usr/lib/qt6/bin/linguist"], "Linguist"),
]
if cells := os.environ.get("NIVU_MATRIX"):  # scripts/soak --cells: some of them
    MATRIX = [cell for cell in MATRIX if cell[0] in cells.split(",")]
    assert MATRIX, f"no window manager of {cells} in the matrix"


class SizesUnderEveryWindowManager(unittest.TestCase):
    def test_badge_record_restore_and_preset_with_real_programs(self):
        """Under each window manager: the badge during a drag, the size recorded, a new
        program's first window restored to it, and a preset, all in visible sizes."""
        for window_manager, command, app_class in MATRIX:
            with self.subTest(window_manager), Desktop(window_manager, screen="2560x1600x24") as desktop:
                tracked = {"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm", app_class]}
                desktop.start_nivu(json.dumps(tracked))
                xterm = desktop.start_xterm()
                desktop.settle(xterm)
                drag_watching_the_badge(self, desktop, xterm)
                width, height = desktop.size(xterm)
                wait_until(lambda: desktop.stored_size("XTerm") == {"width": width, "height": height},
                           what=f"the xterm's {width} x {height} in config.json: {desktop.stored_size('XTerm')}")
                second = desktop.start_xterm(400, 300)
                wait_until(lambda: desktop.size(second) == (width, height), what="the new xterm at the remembered size")

                def start_program():
                    processes, own = [], desktop.own_settings()
                    window = desktop.new_client(lambda: processes.append(desktop.spawn(command, env=own)), command[0],
                                                timeout=30)
                    desktop.activate(window)
                    desktop.settle(window)
                    desktop.activate(window)  # again: a window manager may hand the focus back as it maps
                    return processes[0], window
                program, window = start_program()
                start = desktop.visible_size(window)
                desktop.drag(window, 6, 4, 20)
                desktop.settle(window)  # some managers follow the pointer a few frames behind
                width, height = desktop.visible_size(window)
                self.assertNotEqual((width, height), start, f"the drag resized {app_class}")
                wait_until(lambda: desktop.stored_size(app_class) == {"width": width, "height": height},
                           what=f"the visible {width} x {height} in config.json: {desktop.stored_size(app_class)}")
                wait_until(lambda: not desktop.badges(), what="the live resize to end")  # and record
                desktop.end(program)
                # Gone from the list before the next start: X may give the new window the same id.
                wait_until(lambda: window not in desktop.client_windows(), what=f"{app_class} closed")
                tracked["rememberedSizes"][app_class] = {"_default": {"width": 930, "height": 610}}
                desktop.write_config(json.dumps(tracked))  # a size only nivu can give it
                program, window = start_program()
                wait_until(lambda: desktop.visible_size(window) == (930, 610),
                           what=f"the new {app_class} at 930 x 610: {desktop.visible_size(window)}")
                # Where FHD would hang past the screen's edge, the window moves just far enough.
                desktop.xdotool("windowmove", window, 1000, 800)
                wait_until(lambda: desktop.frame(window)["x"] > 900, what=f"{app_class} moved to the right")
                choose_preset(desktop)
                wait_until(lambda: desktop.visible_size(window) == (1920, 1080),
                           what=f"FHD on {app_class}: {desktop.visible_size(window)}")
                desktop.settle(window)
                f = desktop.decorated(window)
                self.assertTrue(f["x"] >= 0 and f["y"] >= 0 and f["x"] + f["width"] <= 2560 and f["y"] + f["height"] <= 1600,
                                f"{app_class} wholly on the screen: {f}")


if __name__ == "__main__":
    unittest.main()
