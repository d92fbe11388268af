"""Live sizes and remembered sizes with the real nivu on a private desktop."""

import json
import os
import unittest

from harness import (DesktopTestCase, binary, nivu_config, screenshot, top_level_windows,
                     wait_until)

TRACK_XTERM = '{"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm"]}'


class LiveResizeWithNivu(DesktopTestCase):
    def start_nivu(self, config=TRACK_XTERM, before_launch=False):
        """Starts nivu with config. Normally the config is written once nivu has created its
        first-run file (that is, has launched): hand edits count at the next event."""
        self.config_path = os.path.join(self.desktop.home, ".nivu", "config.json")
        if before_launch:
            nivu_config(self.desktop, config)
        self.nivu = self.desktop.spawn([binary("nivu")])
        self.addCleanup(self.check_nivu_survived)
        if not before_launch:
            wait_until(lambda: os.path.exists(self.config_path), what="nivu to launch")
            nivu_config(self.desktop, config)

    def check_nivu_survived(self):
        if not self.ended_on_purpose:
            self.assertIsNone(self.nivu.poll(), "nivu must keep running")

    ended_on_purpose = False

    def badges(self):
        return [w for w in top_level_windows(self.desktop)
                if (w["width"], w["height"]) == (120, 28) and w["class"] and "nivu" in w["class"][0].lower()]

    def config_bytes(self):
        with open(self.config_path, "rb") as file:
            return file.read()

    def stored(self):
        try:
            with open(self.config_path) as file:
                return json.load(file)
        except (OSError, ValueError):
            return None

    def drag_and_watch_badge(self, window, steps=24):
        seen = []

        def look(step):
            if step in (8, steps - 4):
                badge = wait_until(self.badges, what="Nivu's badge during the drag")[0]
                pointer = self.desktop.root.query_pointer()
                seen.append((badge, pointer.root_x, pointer.root_y))
                if step == 8:
                    screenshot(self.desktop, "badge-mid-drag")
        self.desktop.drag_bottom_right_edge(window, steps, on_step=look)
        return seen

    def test_dragging_an_xterm_shows_the_badge_and_remembers_the_size(self):
        self.start_nivu()
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)

        seen = self.drag_and_watch_badge(window)

        self.assertEqual(len(seen), 2)
        for badge, x, y in seen:
            self.assertTrue(badge["override"], "the badge is not managed: no focus, no taskbar")
            self.assertEqual((badge["x"], badge["y"]), (x + 16, y + 16), "beside the pointer")
        wait_until(lambda: not self.badges(), what="the badge to hide after the release")
        final = self.desktop.geometry(window)
        wait_until(lambda: (self.stored() or {}).get("rememberedSizes", {}).get("XTerm"),
                   what="the size in config.json")
        self.assertEqual(self.stored()["rememberedSizes"]["XTerm"]["_default"],
                         {"width": final["width"], "height": final["height"]})

        _, second = self.desktop.start_xterm()
        wait_until(lambda: (self.desktop.geometry(second)["width"], self.desktop.geometry(second)["height"])
                   == (final["width"], final["height"]), what="the new xterm to get the remembered size")
        self.assertIsNone(self.nivu.poll())
        self.ended_on_purpose = True
        self.assertEqual(self.desktop.end(self.nivu), 0, "SIGTERM ends nivu cleanly")

    def test_untracked_applications_are_shown_but_not_remembered(self):
        self.start_nivu()
        before = set(self.desktop.client_windows())
        self.desktop.spawn([binary("qt-test-window"), "--role", "main"])
        window = wait_until(lambda: next((w for w in self.desktop.client_windows() if w not in before), None))
        self.desktop.activate(window)
        original = self.config_bytes()

        seen = self.drag_and_watch_badge(window)

        self.assertEqual(len(seen), 2)
        wait_until(lambda: not self.badges(), what="the badge to hide")
        self.assertEqual(self.config_bytes(), original)

    def test_a_broken_config_is_left_byte_for_byte(self):
        broken = b'{"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": {"XTerm": 7}}\n\xff'
        self.start_nivu(broken, before_launch=True)
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)

        self.drag_and_watch_badge(window)

        wait_until(lambda: not self.badges(), what="the badge to hide")
        self.desktop.start_xterm()
        self.assertEqual(self.config_bytes(), broken)


if __name__ == "__main__":
    unittest.main()
