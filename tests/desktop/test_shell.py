"""nivu as a desktop program: the tray icon, waiting for a window manager, one instance per
display, clean ends, a clear error without a display, and the README's run command."""

import os
import signal
import subprocess
import tempfile
import unittest

from harness import (REPO_DIR, Desktop, DesktopTestCase, binary, nivu_config, screenshot,
                     tray_icon_embedded, wait_until)

TRACK_XTERM = '{"rememberedSizes": {"XTerm": {"_default": {"height": 394, "width": 604}}}, ' \
              '"trackedBundleIdentifiers": ["XTerm"]}'


class ShellWithTray(DesktopTestCase):
    tray = True

    def test_icon_embeds_into_the_tray_and_every_stop_signal_ends_nivu_cleanly(self):
        for stop in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            nivu = self.desktop.spawn([binary("nivu")], capture=True)
            wait_until(lambda: tray_icon_embedded(self.desktop), what="the icon in the tray")
            if stop == signal.SIGTERM:
                screenshot(self.desktop, "tray-icon")
            self.assertTrue(self.desktop.selection_owner("_NIVU_RUNNING"))

            self.assertEqual(self.desktop.end(nivu, stop), 0, f"{stop.name} ends nivu cleanly")
            wait_until(lambda: not self.desktop.selection_owner("_NIVU_RUNNING"),
                       what="the display to be free for the next nivu")
            wait_until(lambda: not tray_icon_embedded(self.desktop), what="the icon to go")

    def test_of_nivus_started_together_or_later_one_runs_and_the_others_say_why(self):
        together = [subprocess.Popen([binary("nivu")], env=self.desktop.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE, text=True) for _ in range(3)]
        self.desktop.processes.extend(together)
        wait_until(lambda: sum(p.poll() is not None for p in together) == 2, timeout=30,
                   what="two of three nivus started at once to exit")
        survivor = next(p for p in together if p.poll() is None)
        for loser in (p for p in together if p is not survivor):
            self.assertRegex(loser.stderr.read(), "already running on display|another nivu took over")
        later = subprocess.run([binary("nivu")], env=self.desktop.env, capture_output=True,
                               text=True, timeout=30)
        self.assertEqual(later.returncode, 1)
        self.assertIn("already running on display", later.stderr)
        self.assertIsNone(survivor.poll())


class ShellWithoutTray(DesktopTestCase):
    def test_icon_appears_when_the_tray_host_starts_after_nivu(self):
        nivu = self.desktop.spawn([binary("nivu")])
        wait_until(lambda: self.desktop.selection_owner("_NIVU_RUNNING"), what="nivu")
        self.desktop.start_tray()
        wait_until(lambda: tray_icon_embedded(self.desktop), what="the icon in the late tray")
        self.assertIsNone(nivu.poll())


class ShellBeforeTheWindowManager(DesktopTestCase):
    window_manager = False

    def test_observation_starts_once_a_window_manager_runs(self):
        nivu_config(self.desktop, TRACK_XTERM)
        nivu = self.desktop.spawn([binary("nivu")])
        prompt = wait_until(lambda: next((w for w in self.desktop.root.query_tree().children
                                          if self.desktop.text_property(w.id, "WM_NAME") == b"Nivu"
                                          and w.get_attributes().map_state), None),
                            what="Nivu's explanation that a window manager is needed")
        self.assertTrue(prompt)
        screenshot(self.desktop, "waiting-for-window-manager")

        self.desktop.start_window_manager()
        _, window = self.desktop.start_xterm()
        wait_until(lambda: (self.desktop.geometry(window)["width"], self.desktop.geometry(window)["height"])
                   == (604, 394), timeout=10, what="the remembered size once the window manager runs")
        self.assertIsNone(nivu.poll())


class ShellWithoutDisplay(unittest.TestCase):
    def run_nivu(self, display):
        with tempfile.TemporaryDirectory() as home:
            env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=home)
            env.pop("DISPLAY", None)
            env.pop("WAYLAND_DISPLAY", None)
            if display:
                env["DISPLAY"] = display
            result = subprocess.run([binary("nivu")], env=env, capture_output=True, text=True,
                                    timeout=30)
            return result, os.listdir(home)

    def test_no_display_gives_one_clear_line_and_writes_nothing(self):
        with Desktop(window_manager=False) as desktop:
            for display, message in ((None, "nivu: no X display: DISPLAY is not set\n"),
                                     (":65000", "nivu: cannot open display :65000\n"),
                                     (desktop.display + ".5",
                                      f"nivu: display {desktop.display}.5 has no screen 5\n")):
                result, written = self.run_nivu(display)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertEqual(result.stderr, message)
                self.assertEqual(written, [])


class RunCommandHeadless(unittest.TestCase):
    def test_run_command_starts_a_private_desktop_and_saves_a_screenshot(self):
        with tempfile.TemporaryDirectory() as folder:
            shot = os.path.join(folder, "nivu.png")
            env = dict(os.environ, NIVU_SCREENSHOT=shot, HOME=folder, XDG_RUNTIME_DIR=folder,
                       NIVU_BUILD_DIR=os.environ.get("NIVU_BUILD_DIR", "build"))
            env.pop("DISPLAY", None)
            run = subprocess.Popen(["bash", os.path.join(REPO_DIR, "scripts", "run")], env=env,
                                   cwd=REPO_DIR, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            try:
                line = run.stdout.readline()  # the first line comes once all is set up
                self.assertIn("private headless desktop", line,
                              f"the run command failed: {run.poll()} {run.stderr.read() if run.poll() is not None else ''}")
                wait_until(lambda: os.path.exists(shot) and os.path.getsize(shot) > 0, what="the screenshot")
                with open(shot, "rb") as file:
                    self.assertEqual(file.read(8), b"\x89PNG\r\n\x1a\n")
            finally:
                run.send_signal(signal.SIGINT)
                run.wait(timeout=30)
                run.stdout.close()
                run.stderr.close()
            self.assertEqual(run.returncode, 0)


if __name__ == "__main__":
    unittest.main()
