"""Live sizes and remembered sizes with the real nivu on a private desktop."""

import json
import os
import unittest

from harness import (DesktopTestCase, binary, nivu_config, read_bytes, screenshot, top_level_windows,
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
        return read_bytes(self.config_path)

    def stored(self):
        try:
            with open(self.config_path) as file:
                return json.load(file)
        except (OSError, ValueError):
            return None

    def drag_and_watch_badge(self, window, steps=24):
        """Drags the window's corner. Returns where the badge first appeared, every pointer
        position up to then, and the badge settled beside the pointer near the end."""
        watch = {"pointers": [], "first": None, "settled": None}

        def pointer():
            reply = self.desktop.root.query_pointer()
            return reply.root_x, reply.root_y

        def look(step):
            watch["pointers"].append(pointer())
            if watch["first"] is None:
                watch["first"] = next(iter(self.badges()), None)
            if step == 8:
                wait_until(self.badges, what="Nivu's badge during the drag")
                screenshot(self.desktop, "badge-mid-drag")
            if step == steps - 4:
                x, y = pointer()
                watch["settled"] = wait_until(
                    lambda: next((b for b in self.badges() if (b["x"], b["y"]) == (x + 16, y + 16)), None),
                    what=f"the badge to follow the pointer to ({x}, {y}); seen: {self.badges()}")
        self.desktop.drag_bottom_right_edge(window, steps, on_step=look)
        return watch

    def test_dragging_an_xterm_shows_the_badge_and_remembers_the_size(self):
        self.start_nivu()
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)

        watch = self.drag_and_watch_badge(window)

        first = watch["first"]
        self.assertIsNotNone(first)
        self.assertIn((first["x"] - 16, first["y"] - 16), watch["pointers"],
                      "the badge first appears beside the pointer, never elsewhere")
        self.assertTrue(watch["settled"]["override"], "the badge is not managed: no focus, no taskbar")
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

        self.assertIsNotNone(self.drag_and_watch_badge(window)["settled"])
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
