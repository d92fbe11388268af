"""The settings window with the real nivu: opened from the tray menu, one window, centred, and
a shortcut recorded in it taking over the global hot key at once."""

import os
import unittest

from harness import (DesktopTestCase, binary, holds_for, nivu_popups, open_status_menu,
                     popup_open, read_bytes, screenshot, tray_icon_embedded,
                     wait_closed, wait_until)

TITLE = "Nivu 設定".encode()


class SettingsWindowWithNivu(DesktopTestCase):
    tray = True

    def setUp(self):
        super().setUp()
        self.nivu = self.desktop.spawn([binary("nivu")])
        wait_until(lambda: tray_icon_embedded(self.desktop), what="the tray icon")
        wait_until(lambda: os.path.exists(os.path.join(self.desktop.home, ".nivu", "config.json")),
                   what="nivu to finish launching")

    def settings_windows(self):
        return [w for w in self.desktop.client_windows()
                if self.desktop.text_property(w, "_NET_WM_NAME") == TITLE]

    def choose_settings_from_the_tray(self):
        menu = open_status_menu(self.desktop)
        self.desktop.xdotool("key", "Down")
        self.desktop.xdotool("key", "Return")
        wait_closed(self.desktop, menu)

    def centre_offset(self, window):
        g = self.desktop.geometry(window)
        left, right, top, bottom = self.desktop.frame_extents(window)
        centre_x = g["x"] - left + (left + g["width"] + right) / 2
        centre_y = g["y"] - top + (top + g["height"] + bottom) / 2
        screen = self.desktop.x.screen()
        return abs(centre_x - screen.width_in_pixels / 2), abs(centre_y - screen.height_in_pixels / 2)

    def test_settings_opens_one_centred_window_and_a_second_choice_raises_it(self):
        self.choose_settings_from_the_tray()
        window = wait_until(self.settings_windows, what="the settings window")[0]
        wait_until(lambda: self.desktop.active_window() == window, what="the window in front")
        dx, dy = self.centre_offset(window)
        self.assertLess(dx, 30)
        self.assertLess(dy, 30)
        screenshot(self.desktop, "settings-window")

        self.desktop.xdotool("windowmove", window, 10, 40)
        _, xterm = self.desktop.start_xterm()
        self.desktop.activate(xterm)  # and click at once: Qt has not deactivated nivu yet
        self.choose_settings_from_the_tray()
        wait_until(lambda: self.desktop.active_window() == window, what="the same window raised")
        self.assertEqual(self.settings_windows(), [window])
        wait_until(lambda: max(self.centre_offset(window)) < 30, what="the window centred again")

        self.desktop.activate(window)
        self.desktop.xdotool("key", "alt+F4")
        wait_until(lambda: window not in self.desktop.client_windows(), what="the window to close")
        self.assertIsNone(self.nivu.poll(), "closing the settings does not quit nivu")

    def test_a_recorded_shortcut_replaces_the_global_hot_key_at_once(self):
        self.choose_settings_from_the_tray()
        window = wait_until(self.settings_windows, what="the settings window")[0]
        wait_until(lambda: self.desktop.active_window() == window, what="the window in front")
        for _ in range(5):  # list, reset, name, width, height, then the record button
            self.desktop.xdotool("key", "Tab")
        self.desktop.xdotool("key", "space")
        screenshot(self.desktop, "settings-recording")
        self.desktop.xdotool("key", "ctrl+alt+k")
        conf = os.path.join(self.desktop.home, ".config", "nivu", "nivu.conf")
        wait_until(lambda: '\\"keyCode\\":40,\\"carbonModifiers\\":6144' in read_bytes(conf).decode(errors="replace"),
                   what="Ctrl+Alt+K in the settings file")

        _, xterm = self.desktop.start_xterm()
        # Try it at once from the xterm, before Qt has noticed that nivu's window lost the focus.
        self.desktop.activate(xterm)
        self.desktop.xdotool("key", "ctrl+alt+k")
        menu = wait_until(lambda: nivu_popups(self.desktop, 100),
                          what="the preset menu on the new shortcut")[0]
        # Qt deactivates nivu some 0.5 s after its window lost the focus: the menu must outlive it.
        holds_for(lambda: popup_open(self.desktop, menu), 0.8,
                  what="the menu to stay open past Qt's deactivation of nivu")
        self.desktop.xdotool("key", "Escape")


if __name__ == "__main__":
    unittest.main()
