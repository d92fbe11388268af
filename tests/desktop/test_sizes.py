"""Sizes with the real nivu: the live badge during a drag, remembered and restored sizes, and
presets from the menu on the global hot key."""

import unittest

from Xlib import X
from Xlib import display as xdisplay

from harness import Desktop, DesktopTestCase, TestClient, read_bytes, wait_until

R_KEYCODE = 19 + 8  # evdev KEY_R + 8
ALT_SUPER = X.Mod1Mask | X.Mod4Mask


class SizesWithNivu(DesktopTestCase):
    screen = "2560x1600x24"

    def badges(self):
        return [p for p in self.desktop.popups() if (p["width"], p["height"]) == (120, 28)]

    def drag_watching_the_badge(self, window, steps=24):
        """Drags the window's corner. Returns where the badge first appeared and every pointer
        position up to then; checks that the badge follows the pointer and hides after."""
        watch = {"pointers": [], "first": None}

        def look(step):
            watch["pointers"].append(self.desktop.pointer())
            watch["first"] = watch["first"] or next(iter(self.badges()), None)
            if step == 8:
                wait_until(self.badges, what="the badge during the drag")
                self.desktop.screenshot("badge-mid-drag")
            if step == steps - 4:
                x, y = self.desktop.pointer()
                wait_until(lambda: [b for b in self.badges() if (b["x"], b["y"]) == (x + 16, y + 16)],
                           what=f"the badge to follow the pointer to ({x}, {y}); seen: {self.badges()}")
        self.desktop.drag(window, 6, 4, steps, on_step=look)
        self.assertIn((watch["first"]["x"] - 16, watch["first"]["y"] - 16), watch["pointers"],
                      "the badge first appears beside the pointer, never elsewhere")
        wait_until(lambda: not self.badges(), what="the badge to hide after the release")

    def test_a_drag_shows_the_size_and_a_tracked_application_gets_it_back(self):
        nivu = self.desktop.start_nivu()
        xterm = self.desktop.start_xterm()
        self.desktop.activate(xterm)

        self.drag_watching_the_badge(xterm)
        final = self.desktop.size(xterm)
        stored = wait_until(lambda: self.desktop.stored_size("XTerm"), what="the size in config.json")
        self.assertEqual((stored["width"], stored["height"]), final)
        second = self.desktop.start_xterm()
        wait_until(lambda: self.desktop.size(second) == final, what="the new xterm at the remembered size")

        untracked = self.desktop.start_qt_window("--role", "main")
        self.desktop.activate(untracked)
        before = read_bytes(self.desktop.config_path)
        self.drag_watching_the_badge(untracked)
        self.assertEqual(read_bytes(self.desktop.config_path), before, "untracked: shown, not stored")
        self.assertIsNone(nivu.poll())

    def test_the_hot_key_opens_the_presets_at_the_pointer_and_a_choice_resizes_the_focused_window(self):
        self.desktop.start_nivu()
        xterm = self.desktop.start_xterm()
        self.desktop.activate(xterm)
        origin = self.desktop.geometry(xterm)
        self.desktop.xdotool("mousemove", 700, 500)

        self.desktop.xdotool("key", "super+alt+r")
        menu = wait_until(lambda: self.desktop.popups(100), what="the preset menu")[0]
        self.assertEqual((menu["x"], menu["y"]), (700, 500), "the menu opens at the pointer")
        self.desktop.screenshot("preset-menu")
        for _ in range(7):  # VGA ... FHD (1080p)
            self.desktop.xdotool("key", "Down")
        self.desktop.xdotool("key", "Return")
        wait_until(lambda: not self.desktop.popup_open(menu), what="the menu to close")
        size = wait_until(lambda: self.desktop.size(xterm)[0] > 1800 and self.desktop.geometry(xterm),
                          what="the xterm to take the preset's size")
        self.assertLess(abs(size["width"] - 1920), 12, "the nearest size the xterm's hints allow")
        self.assertLess(abs(size["height"] - 1080), 20)
        self.assertEqual((size["x"], size["y"]), (origin["x"], origin["y"]), "resized in place")

        # A window with client-side decorations gets the preset's size as the user sees it.
        client = TestClient(self.desktop)
        self.addCleanup(client.close)
        decorated = client.window(b"editor\0Editor\0", shadow=[61, 61, 55, 67])
        wait_until(lambda: decorated.id in self.desktop.client_windows(), what="the decorated window")
        self.desktop.activate(decorated.id)
        self.desktop.xdotool("key", "super+alt+r")
        wait_until(lambda: self.desktop.popups(100), what="the preset menu again")
        for _ in range(7):
            self.desktop.xdotool("key", "Down")
        self.desktop.xdotool("key", "Return")
        wait_until(lambda: self.desktop.size(decorated.id) == (1920 + 122, 1080 + 122),
                   what=f"the visible 1920 x 1080; the client is {self.desktop.size(decorated.id)}")

    def test_the_combination_is_held_until_quit_and_one_held_elsewhere_is_left_to_its_holder(self):
        other = xdisplay.Display(self.desktop.display)
        other.set_error_handler(lambda *_: None)  # refusals are counted below
        self.addCleanup(other.close)

        def grab():
            """Grabs Alt+Super+R (every lock variant) on the other connection; True if allowed."""
            failures = []
            for locks in (0, X.LockMask, X.Mod2Mask, X.LockMask | X.Mod2Mask):
                other.screen().root.grab_key(R_KEYCODE, ALT_SUPER | locks, True, X.GrabModeAsync,
                                             X.GrabModeAsync, onerror=lambda error, *_: failures.append(error))
            other.sync()
            return not failures

        nivu = self.desktop.start_nivu()
        self.assertFalse(grab(), "nivu holds Alt+Super+R")
        self.assertEqual(self.desktop.end(nivu), 0)
        self.assertTrue(grab(), "free as soon as nivu has quit")

        nivu = self.desktop.start_nivu()
        self.desktop.activate(self.desktop.start_xterm())
        self.desktop.xdotool("key", "super+alt+r")

        def key_press():
            while other.pending_events():
                if (event := other.next_event()).type == X.KeyPress:
                    return event
            return None
        self.assertEqual(wait_until(key_press, what="the key press at its holder").detail, R_KEYCODE)
        self.assertEqual(self.desktop.popups(), [])
        self.assertIsNone(nivu.poll(), "nivu runs on without the hot key")


TWO_MONITORS = {"screen": "2880x1000x24", "monitors": ("1600x1000+0+0", "1280x720+1600+0")}


class SizesOnOtherScreens(unittest.TestCase):
    """Scaled screens, two monitors and a small screen, each on a desktop of its own."""

    SETUPS = [  # Desktop arguments, nivu's environment, where the xterm opens, the scale there
        ({"resources": "Xft.dpi: 144\n"}, {}, (120, 120), 1.5),
        ({"resources": "Xft.dpi: 192\n"}, {}, (120, 120), 2),
        ({}, {"QT_SCALE_FACTOR": "1.25"}, (120, 120), 1.25),
        (TWO_MONITORS, {"QT_SCREEN_SCALE_FACTORS": "1;2"}, (300, 500), 1),
        (TWO_MONITORS, {"QT_SCREEN_SCALE_FACTORS": "1;2"}, (1650, 250), 2),
    ]

    def test_the_badge_and_the_menu_are_placed_in_points_beside_the_pointer(self):
        """Qt scales its windows by the screen's factor: the badge and the menu still sit
        beside the pointer, by points, on the monitor where the pointer is."""
        for arguments, environment, (x, y), scale in self.SETUPS:
            with self.subTest(**arguments, **environment, x=x), Desktop(**arguments) as desktop:
                desktop.start_nivu(env=environment)
                xterm = desktop.start_xterm(x, y)
                desktop.activate(xterm)
                near = lambda a, b: abs(a - b) <= 2  # noqa: E731 (rounding to whole pixels)

                def badge_beside_pointer(step):
                    if step != 12:
                        return
                    px, py = desktop.pointer()
                    offset = 16 * scale
                    wait_until(lambda: [b for b in desktop.popups() if near(b["x"], px + offset) and near(
                        b["y"], py + offset) and near(b["width"], 120 * scale) and near(b["height"], 28 * scale)],
                        what=f"a {scale}x badge {offset} px off the pointer at ({px}, {py}): {desktop.popups()}")
                    desktop.screenshot(f"badge-at-{scale}x-{x}")
                desktop.drag(xterm, 4, 3, 16, on_step=badge_beside_pointer)

                px, py = desktop.pointer()
                desktop.xdotool("key", "super+alt+r")
                menu = wait_until(lambda: desktop.popups(40 * scale), what="the preset menu")[0]
                # At the pointer, or above it where the monitor has no room below.
                self.assertTrue(near(menu["x"], px) and (near(menu["y"], py) or near(
                    menu["y"] + menu["height"], py + 1)), (menu, px, py))
                desktop.xdotool("key", "Escape")

    def test_a_preset_larger_than_the_screen_gives_the_largest_size_that_shows_whole(self):
        with Desktop(screen="1366x768x24") as small:
            small.start_nivu()
            xterm = small.start_xterm()
            small.activate(xterm)
            before = small.size(xterm)
            small.xdotool("key", "super+alt+r")
            wait_until(lambda: small.popups(100), what="the preset menu")
            for _ in range(7):  # FHD (1080p)
                small.xdotool("key", "Down")
            small.xdotool("key", "Return")
            wait_until(lambda: small.size(xterm)[1] > before[1] + 200, what="the xterm to grow")
            g = small.geometry(xterm)
            left, right, top, bottom = small.property(xterm, "_NET_FRAME_EXTENTS")
            self.assertLessEqual(left + g["width"] + right, 1366)
            self.assertLessEqual(top + g["height"] + bottom, 768)
            self.assertGreater(left + g["width"] + right, 1366 - 12, "as large as the xterm's grid allows")


if __name__ == "__main__":
    unittest.main()
