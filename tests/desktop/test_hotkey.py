"""The preset menu on its global hot key with the real nivu: opening it over an xterm,
choosing a preset, a combination held by another client, and a stored custom shortcut."""

import os
import unittest

from Xlib import X
from Xlib import error as xerror

from harness import (DesktopTestCase, binary, screenshot, top_level_windows, wait_until)

R_KEYCODE = 19 + 8  # evdev KEY_R + 8
ALT_SUPER = X.Mod1Mask | X.Mod4Mask


class HotKeyWithNivu(DesktopTestCase):
    screen = "2560x1600x24"

    def start_nivu(self):
        config = os.path.join(self.desktop.home, ".nivu", "config.json")
        if os.path.exists(config):
            os.remove(config)
        self.nivu = self.desktop.spawn([binary("nivu")], capture=True)
        # The size store is created right after the hot key is registered at launch.
        wait_until(lambda: os.path.exists(config), what="nivu to finish launching")
        return self.nivu

    def preset_menus(self):
        return [w for w in top_level_windows(self.desktop)
                if w["override"] and w["class"] and w["class"][0] == "nivu" and w["height"] > 100]

    def grab_combination(self, connection):
        """Grabs Alt+Super+R (every lock variant) on another connection; True when allowed."""
        failures = []
        root = connection.screen().root
        for locks in (0, X.LockMask, X.Mod2Mask, X.LockMask | X.Mod2Mask):
            root.grab_key(R_KEYCODE, ALT_SUPER | locks, True, X.GrabModeAsync, X.GrabModeAsync,
                          onerror=lambda error, *args: failures.append(error))
        connection.sync()
        return not failures

    def test_hot_key_opens_the_menu_at_the_pointer_and_a_choice_resizes_the_focused_xterm(self):
        self.start_nivu()
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)
        self.desktop.xdotool("mousemove", 700, 500)

        self.desktop.xdotool("key", "super+alt+r")

        menu = wait_until(self.preset_menus, what="the preset menu")[0]
        self.assertEqual((menu["x"], menu["y"]), (700, 500), "the menu opens at the pointer")
        screenshot(self.desktop, "preset-menu")
        for _ in range(7):  # VGA ... FHD (1080p)
            self.desktop.xdotool("key", "Down")
        self.desktop.xdotool("key", "Return")
        wait_until(lambda: not self.preset_menus(), what="the menu to close")
        size = wait_until(lambda: self.desktop.geometry(window)["width"] > 1800 and self.desktop.geometry(window),
                          what="the xterm to take the preset's size")
        self.assertLess(abs(size["width"] - 1920), 12, "nearest size the xterm's hints allow")
        self.assertLess(abs(size["height"] - 1080), 20)

    def test_a_combination_held_by_another_client_is_left_to_it_and_freed_by_nivu_on_quit(self):
        from Xlib import display as xdisplay
        holder = xdisplay.Display(self.desktop.display)
        self.addCleanup(holder.close)
        self.assertTrue(self.grab_combination(holder))
        nivu = self.start_nivu()
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)

        self.desktop.xdotool("key", "super+alt+r")
        def key_press():
            while holder.pending_events():
                event = holder.next_event()
                if event.type == X.KeyPress:
                    return event
            return None
        event = wait_until(key_press, what="the key press at the holder")
        self.assertEqual(event.detail, R_KEYCODE)
        self.assertEqual(self.preset_menus(), [])
        self.assertIsNone(nivu.poll(), "nivu runs on without the hot key")

        holder.screen().root.ungrab_key(R_KEYCODE, X.AnyModifier)
        holder.sync()
        # nivu does not take the combination back by itself; after it quits the next program can.
        self.assertEqual(self.desktop.end(nivu), 0)
        self.assertTrue(self.grab_combination(holder))

    def test_nivu_releases_its_combination_at_once_when_it_quits(self):
        from Xlib import display as xdisplay
        nivu = self.start_nivu()
        other = xdisplay.Display(self.desktop.display)
        self.addCleanup(other.close)
        self.assertFalse(self.grab_combination(other), "nivu holds Alt+Super+R")
        self.assertEqual(self.desktop.end(nivu), 0)
        self.assertTrue(self.grab_combination(other), "free as soon as nivu has quit")

    def test_a_stored_shortcut_is_the_one_registered(self):
        first = self.start_nivu()
        conf = os.path.join(self.desktop.home, ".config", "nivu", "nivu.conf")
        wait_until(lambda: os.path.exists(conf), what="the settings file")
        self.desktop.end(first)
        with open(conf) as file:
            text = file.read()
        changed = text.replace('\\"keyCode\\":15,\\"carbonModifiers\\":2304',
                               '\\"keyCode\\":35,\\"carbonModifiers\\":6144')
        self.assertNotEqual(changed, text, text)
        with open(conf, "w") as file:
            file.write(changed)

        self.start_nivu()
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)
        self.desktop.xdotool("key", "super+alt+r")
        self.desktop.xdotool("key", "ctrl+alt+p")
        wait_until(self.preset_menus, what="the menu on Ctrl+Alt+P")
        self.desktop.xdotool("key", "Escape")
        wait_until(lambda: not self.preset_menus(), what="the menu to close on Escape")


if __name__ == "__main__":
    unittest.main()
