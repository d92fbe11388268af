"""Faults a running nivu must survive, each on a real X display with real processes: windows
that vanish, X servers that go away and hostile window properties. (Kills in the middle of a
write and full disks are the unit tests' FileAccessTest and WindowSizeMemoryTest.)"""

import json
import os
import random
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "desktop"))

from harness import DesktopTestCase, read_bytes, wait_until  # noqa: E402

TRACK = '{"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm", "Burst", "Hostil\u00e9"]}'


def valid_document(path):
    """config.json as nivu must always leave it: one whole, strictly formed document."""
    document = json.loads(read_bytes(path).decode("utf-8"))
    assert isinstance(document["trackedBundleIdentifiers"], list)
    for windows in document["rememberedSizes"].values():
        for size in windows.values():
            assert isinstance(size["width"], int) and isinstance(size["height"], int)
    return document


class Faults(DesktopTestCase):
    def test_windows_destroyed_in_a_burst_or_before_their_restore_do_no_harm(self):
        nivu = self.desktop.start_nivu('{"rememberedSizes": {"Burst": {"_default": {"width": 420, '
                                       '"height": 260}}}, "trackedBundleIdentifiers": ["Burst"]}')
        x = self.desktop.x
        random.seed(11)
        restored = 0
        for round_ in range(500):
            window = self.desktop.make_window(b"burst\0Burst\0")
            if round_ % 5 == 0:
                for step in range(8):
                    window.configure(width=300 + step * 7, height=200 + step)
                x.flush()
            time.sleep(random.random() * 0.3)  # destroyed before, during or after the restore
            restored += window.get_geometry().width == 420
            window.destroy()
            x.sync()
        self.assertIsNone(nivu.poll(), "no X error ends nivu")
        self.assertGreater(restored, 0, "windows that lived long enough got their size")
        valid_document(self.desktop.config_path)

    def test_x_server_killed_ends_nivu_with_a_message_and_intact_files(self):
        nivu = self.desktop.start_nivu(TRACK)
        before = read_bytes(self.desktop.config_path)
        self.desktop.x.close()
        self.desktop.x = None
        self.desktop.end(self.desktop.xvfb, signal.SIGKILL)
        nivu.wait(timeout=15)
        self.assertEqual(nivu.returncode, 1)
        # Qt's own connection may notice too and say so; nivu's line comes, and nothing aborts.
        nivu.errors.wait_for(lambda line: line == "nivu: lost the connection to the X server")
        self.assertFalse(nivu.errors.matching(lambda line: "Abort" in line or "core dumped" in line))
        self.assertEqual(read_bytes(self.desktop.config_path), before)

    def test_hostile_window_properties_never_reach_config_json_unsafely(self):
        nivu = self.desktop.start_nivu(TRACK)
        x = self.desktop.x
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
            wait_until(lambda: len(self.desktop.stored("Hostil\u00e9")) == kinds,
                       what=f"{kinds} recorded kinds")
            window.destroy()
            x.sync()
        # Events come in order: once the xterm's size is in, the hostile windows' are done.
        xterm = self.desktop.start_xterm()
        self.desktop.activate(xterm)
        self.desktop.drag(xterm, 8, 6, 4)
        wait_until(lambda: self.desktop.stored_size("XTerm"), what="the xterm's size")
        self.assertIsNone(nivu.poll())
        keys = list(valid_document(self.desktop.config_path)["rememberedSizes"]["Hostil\u00e9"])
        self.assertTrue(all(len(key.encode()) <= 8192 for key in keys), "long roles are capped")


if __name__ == "__main__":
    unittest.main()
