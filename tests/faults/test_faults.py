"""Faults a running nivu must survive, each on a real X display with real processes: kills in
the middle of writes, windows that vanish, window managers, tray hosts and X servers that go
away, unwritable homes, hostile window properties and garbage settings."""

import json
import os
import random
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "desktop"))

from harness import (DesktopTestCase, TestClient, binary, frame_corner, nivu_config,  # noqa: E402
                     nivu_popups, open_status_menu, read_bytes, tray_icon_embedded, wait_closed,
                     wait_until, xtest_drag)

TRACK = '{"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm", "Burst", "Hostil\u00e9"]}'


def valid_document(path):
    """config.json as nivu must always leave it: one whole, strictly formed document."""
    with open(path, "rb") as file:
        document = json.loads(file.read().decode("utf-8"))
    assert isinstance(document["trackedBundleIdentifiers"], list)
    for windows in document["rememberedSizes"].values():
        for size in windows.values():
            assert isinstance(size["width"], int) and isinstance(size["height"], int)
    return document


class FaultsTestCase(DesktopTestCase):
    def config_path(self):
        return os.path.join(self.desktop.home, ".nivu", "config.json")

    def start_nivu(self, config=TRACK, wrapper=()):
        if config is not None:
            nivu_config(self.desktop, config)
        # A nivu that was just ended may still be listed as the owner for a moment.
        earlier = self.desktop.selection_owner("_NIVU_RUNNING")
        process = self.desktop.spawn([*wrapper, binary("nivu")], capture=True)
        wait_until(lambda: self.desktop.selection_owner("_NIVU_RUNNING") not in (0, earlier)
                   or process.poll() is not None, what="nivu to start")
        self.assertIsNone(process.poll(), process.stderr.read() if process.poll() is not None else "")
        return process


class KillsAndVanishingWindows(FaultsTestCase):
    def test_sigkill_during_live_resizes_never_leaves_a_broken_config(self):
        nivu = self.start_nivu()
        _, xterm = self.desktop.start_xterm()
        self.desktop.activate(xterm)
        random.seed(7)
        next_kill = random.randint(5, 40)
        kills = 0
        for drag in range(500):
            x, y = frame_corner(self.desktop, xterm)
            sign = 1 if drag % 2 == 0 else -1
            xtest_drag(self.desktop, x, y, 6 * sign, 4 * sign, 3)
            if drag == next_kill:
                time.sleep(random.random() * 0.02)
                nivu.send_signal(signal.SIGKILL)
                nivu.wait()
                kills += 1
                valid_document(self.config_path())
                nivu = self.start_nivu(config=None)
                next_kill = drag + random.randint(5, 40)
        wait_until(lambda: "XTerm" in valid_document(self.config_path())["rememberedSizes"],
                   what="recorded sizes")
        self.assertGreater(kills, 10)
        self.assertIsNone(nivu.poll())
        # The last nivu may be in the middle of a write; a clean end lets it finish.
        self.assertEqual(self.desktop.end(nivu), 0)
        valid_document(self.config_path())
        leftovers = [name for name in os.listdir(os.path.dirname(self.config_path()))
                     if name != "config.json"]
        self.assertEqual(leftovers, [], "no temporary files may pile up")

    def test_windows_destroyed_in_a_burst_or_before_their_restore_do_no_harm(self):
        config = '{"rememberedSizes": {"Burst": {"_default": {"width": 420, "height": 260}}}, ' \
                 '"trackedBundleIdentifiers": ["Burst"]}'
        nivu = self.start_nivu(config)
        client = TestClient(self.desktop)
        self.addCleanup(client.close)
        random.seed(11)
        restored = 0
        for round_ in range(500):
            window = client.window(wm_class=b"burst\0Burst\0")
            if round_ % 5 == 0:
                for step in range(8):
                    window.configure(width=300 + step * 7, height=200 + step)
                client.x.flush()
            time.sleep(random.random() * 0.3)  # before, during and after the 0.25 s restore
            if window.get_geometry().width == 420:
                restored += 1
            window.destroy()
            client.x.sync()
        self.assertIsNone(nivu.poll(), "no X error ends nivu")
        self.assertGreater(restored, 0, "windows that lived long enough got their size")
        valid_document(self.config_path())


class ServersComingAndGoing(FaultsTestCase):
    tray = True

    def status_menu_height(self):
        """Opens the tray menu, measures it and closes it again."""
        menu = open_status_menu(self.desktop)
        self.desktop.xdotool("key", "Escape")
        wait_closed(self.desktop, menu)
        return menu["height"]

    def test_window_manager_and_tray_host_restarts(self):
        nivu = self.start_nivu('{"rememberedSizes": {"XTerm": {"_default": {"width": 604, '
                               '"height": 394}}}, "trackedBundleIdentifiers": ["XTerm"]}')
        wait_until(lambda: tray_icon_embedded(self.desktop), what="the tray icon")
        granted = self.status_menu_height()

        self.desktop.end(self.desktop.wm, signal.SIGKILL)
        wait_until(lambda: self.status_menu_height() > granted,
                   what='"Grant Accessibility Access…" back in the menu while no window manager runs')
        self.desktop.start_window_manager()
        wait_until(lambda: self.status_menu_height() == granted, what="the entry hidden again")
        _, xterm = self.desktop.start_xterm()
        wait_until(lambda: (self.desktop.geometry(xterm)["width"], self.desktop.geometry(xterm)["height"])
                   == (604, 394), what="observation after the window manager came back")

        self.desktop.end(self.desktop.tray_host, signal.SIGKILL)
        wait_until(lambda: not self.desktop.selection_owner("_NET_SYSTEM_TRAY_S0"), what="the tray to go")
        self.desktop.start_tray()
        wait_until(lambda: tray_icon_embedded(self.desktop), what="the icon in the new tray")
        self.assertIsNone(nivu.poll())

    def test_x_server_killed_ends_nivu_with_a_message_and_intact_files(self):
        nivu = self.start_nivu()
        before = read_bytes(self.config_path())
        self.desktop.x.close()
        self.desktop.x = None
        self.desktop.xvfb.kill()
        self.desktop.xvfb.wait()
        nivu.wait(timeout=15)
        message = nivu.stderr.read().decode()
        self.assertNotEqual(nivu.returncode, 0)
        self.assertIn("X", message)
        self.assertNotIn("Aborted", message)
        self.assertEqual(read_bytes(self.config_path()), before)


class UnwritableHomes(FaultsTestCase):
    """nivu runs in a mount namespace of its own, where its home is read-only or tiny."""

    def namespaced(self, script):
        return ["unshare", "-m", "sh", "-c", script + ' && exec "$0"']

    def drag_xterm(self):
        _, xterm = self.desktop.start_xterm()
        self.desktop.activate(xterm)
        x, y = frame_corner(self.desktop, xterm)
        xtest_drag(self.desktop, x, y, 8, 6, 4)
        return xterm

    def test_read_only_nivu_folder_keeps_the_file_and_nivu_running(self):
        nivu_config(self.desktop, TRACK)
        folder = os.path.dirname(self.config_path())
        before = read_bytes(self.config_path())
        nivu = self.start_nivu(None, self.namespaced(
            f"mount --bind {folder} {folder} && mount -o remount,bind,ro {folder} {folder}"))
        self.drag_xterm()
        time.sleep(1.0)  # the record that cannot be written
        self.assertIsNone(nivu.poll())
        self.assertEqual(read_bytes(self.config_path()), before)

    def test_full_file_system_keeps_the_previous_file_and_later_writes_succeed(self):
        folder = os.path.dirname(self.config_path())
        os.makedirs(folder, exist_ok=True)
        filler = os.path.join(folder, "filler")
        document = ('{"rememberedSizes": {"XTerm": {"_default": {"height": 1, "width": 1}}}, '
                    '"trackedBundleIdentifiers": ["XTerm"]}')
        nivu = self.start_nivu(None, self.namespaced(
            f"mount -t tmpfs -o size=64k tmpfs {folder} && printf '%s' '{document}' > {folder}/config.json"
            f" && (head -c 1000000 /dev/zero > {filler} 2>/dev/null; true)"))
        # The tmpfs is only visible inside nivu's namespace: look at it through /proc.
        root = f"/proc/{nivu.pid}/root"
        config = root + self.config_path()
        wait_until(lambda: os.path.exists(config), what="the config inside the small home")
        self.drag_xterm()
        time.sleep(1.0)
        self.assertIsNone(nivu.poll())
        self.assertEqual(read_bytes(config).decode(), document, "previous file intact on a full disk")
        os.remove(root + filler)
        self.drag_xterm()
        wait_until(lambda: valid_document(config)["rememberedSizes"]["XTerm"]["_default"]["width"] > 1,
                   what="the next record once there is room")


class HostileInput(FaultsTestCase):
    def test_hostile_window_properties_never_reach_config_json_unsafely(self):
        nivu = self.start_nivu()
        client = TestClient(self.desktop)
        self.addCleanup(client.close)
        cases = [
            (b"hostile\0Hostil\xe9\0", b"role\xff\xfe\xc3"),          # Latin-1 class, bad UTF-8 role
            (b"hostile\0Hostil\xe9", b"r" * (1 << 20)),                # no NUL at the end, 1 MiB role
            (b"\xff" * 70000, b"\0\0\0"),                               # no class at all, NUL role
        ]
        for wm_class, role in cases:
            window = client.window(wm_class=wm_class, role=role, pid=1)  # another user's process
            wait_until(lambda: window.id in self.desktop.client_windows(), what="the window listed")
            self.desktop.activate(window.id)
            x, y = frame_corner(self.desktop, window.id)
            xtest_drag(self.desktop, x, y, 5, 5, 3)
            time.sleep(0.7)
            window.destroy()
            client.x.sync()
        self.assertIsNone(nivu.poll())
        document = valid_document(self.config_path())
        keys = list(document["rememberedSizes"].get("Hostil\u00e9", {}))
        self.assertTrue(keys, "the Latin-1 class is tracked as text")
        self.assertTrue(all(len(key.encode()) <= 8192 for key in keys), "long roles are capped")

    def test_garbage_settings_give_the_built_in_presets_and_the_default_shortcut(self):
        conf = os.path.join(self.desktop.home, ".config", "nivu", "nivu.conf")
        os.makedirs(os.path.dirname(conf))
        for garbage in (bytes(range(256)) * 64,
                        b"[General]\nwindowSizePresets=@ByteArray([{\\\"id\\\":1}])\n"
                        b"presetMenuShortcut=123456789012345678901234567890\n",
                        b"[General]\nwindowSizePresets=@ByteArray(" + b"[" * 100000 + b")\n"):
            with open(conf, "wb") as file:
                file.write(garbage)
            # The size store is created right after the hot key is registered at launch.
            if os.path.exists(self.config_path()):
                os.remove(self.config_path())
            nivu = self.start_nivu(config=None)
            wait_until(lambda: os.path.exists(self.config_path()), what="nivu to finish launching")
            _, xterm = self.desktop.start_xterm()
            self.desktop.activate(xterm)
            self.desktop.xdotool("key", "super+alt+r")
            menus = wait_until(lambda: nivu_popups(self.desktop, 100),
                               what="the built-in presets on the default shortcut")
            self.assertGreater(menus[0]["height"], 150, "ten entries")
            self.desktop.xdotool("key", "Escape")
            self.assertEqual(self.desktop.end(nivu), 0)


if __name__ == "__main__":
    unittest.main()
