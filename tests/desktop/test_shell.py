"""nivu as a desktop program: the tray icon and its menu, the settings window, waiting for a
window manager, servers that come and go or are killed, one instance per display, clean ends, a
clear error without a display, and the README's run command."""

import os
import signal
import subprocess
import tempfile
import unittest

from Xlib import XK, X
from Xlib import display as xdisplay
from Xlib.ext import xtest

from harness import REPO_DIR, Desktop, DesktopTestCase, binary, holds_for, read_bytes, wait_until

R_KEY, ALT_SUPER = 19 + 8, X.Mod1Mask | X.Mod4Mask  # evdev KEY_R + 8


class ShellWithTray(DesktopTestCase):
    tray = True

    def test_the_icon_embeds_and_every_stop_signal_ends_nivu_cleanly(self):
        for stop in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            nivu = self.desktop.start_nivu()
            wait_until(self.desktop.tray_icon, what="the icon in the tray")
            if stop == signal.SIGTERM:
                self.desktop.screenshot("tray-icon")
            self.assertEqual(self.desktop.end(nivu, stop), 0, f"{stop.name} ends nivu cleanly")
            self.assertEqual(os.listdir(os.path.dirname(self.desktop.config_path)), ["config.json"])
            wait_until(lambda: not self.desktop.selection_owner("_NIVU_RUNNING") and not self.desktop.tray_icon(),
                       what="the display free for the next nivu, and the icon gone")

    def test_of_nivus_started_together_or_later_one_runs_and_the_others_say_why(self):
        together = [self.desktop.spawn([binary("nivu")], capture=True) for _ in range(3)]
        wait_until(lambda: sum(p.poll() is not None for p in together) == 2, timeout=30,
                   what="two of three nivus started at once to exit")
        for loser in (p for p in together if p.poll() is not None):
            self.assertEqual(loser.returncode, 1)
            self.assertIn(b"already running on display", loser.stderr.read(), "none won and then lost")
        later = subprocess.run([binary("nivu")], env=self.desktop.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(later.returncode, 1)
        self.assertIn("already running on display", later.stderr)
        [winner] = [p for p in together if p.poll() is None]
        # Another program taking the display's claim ends the running nivu, as a failure.
        thief = self.desktop.root.create_window(-1, -1, 1, 1, 0, X.CopyFromParent, X.InputOnly, X.CopyFromParent)
        thief.set_selection_owner(self.desktop.atom("_NIVU_RUNNING"), X.CurrentTime)
        self.desktop.x.sync()
        self.assertEqual(winner.wait(timeout=30), 1)
        self.assertIn(b"another nivu took over this display", winner.stderr.read())

    def choose_settings(self):
        menu = self.desktop.open_status_menu()
        self.desktop.keys("Down", "Return")
        self.desktop.wait_closed(menu)
        [window] = wait_until(lambda: self.desktop.windows_named("Nivu 設定"), what="the settings window")
        wait_until(lambda: self.desktop.active_window() == window, what="the settings in front")
        return window

    def off_centre(self, window):
        g = self.desktop.geometry(window)
        left, right, top, bottom = self.desktop.property(window, "_NET_FRAME_EXTENTS")
        screen = self.desktop.x.screen()
        return max(abs(g["x"] - left + (left + g["width"] + right) / 2 - screen.width_in_pixels / 2),
                   abs(g["y"] - top + (top + g["height"] + bottom) / 2 - screen.height_in_pixels / 2))

    def test_the_settings_window_is_one_centred_window_whose_shortcut_takes_over_at_once(self):
        nivu = self.desktop.start_nivu()
        holder = xdisplay.Display(self.desktop.display)
        self.addCleanup(holder.close)
        t_key = holder.keysym_to_keycode(XK.XK_t)
        for lock in (0, X.LockMask, X.Mod2Mask, X.LockMask | X.Mod2Mask):
            holder.screen().root.grab_key(t_key, X.ControlMask | X.Mod1Mask | lock, True, X.GrabModeAsync,
                                          X.GrabModeAsync)
        holder.sync()

        def keyboard():
            """Whether the keyboard is free (GrabSuccess) or held by another (AlreadyGrabbed)."""
            status = holder.screen().root.grab_keyboard(True, X.GrabModeAsync, X.GrabModeAsync, X.CurrentTime)
            holder.ungrab_keyboard(X.CurrentTime)
            holder.sync()
            return status

        window = self.choose_settings()
        self.assertLess(self.off_centre(window), 30)
        self.desktop.screenshot("settings-window")
        height = self.desktop.geometry(window)["height"]
        # From the list past its row's remove button, reset, name, width and height to the record
        # button. While it records, nivu holds the keyboard: Ctrl+Alt+T, which the holder grabbed
        # in every lock state, reaches nivu, which lets the keyboard go and refuses it with the
        # conflict message, a line by which the window grows (the prompt alone may add a pixel or
        # two, where its Japanese takes a taller font).
        self.desktop.keys(*["Tab"] * 6, "space")
        wait_until(lambda: keyboard() == X.AlreadyGrabbed, what="nivu to hold the keyboard while it records")
        self.desktop.keys("ctrl+alt+t")
        wait_until(lambda: keyboard() == X.GrabSuccess, what="the keyboard free again")
        wait_until(lambda: self.desktop.geometry(window)["height"] >= height + 12, what="the conflict message")
        self.assertFalse(any(holder.next_event().type == X.KeyPress for _ in range(holder.pending_events())),
                         "nivu took the keys")
        self.desktop.keys("space", "ctrl+alt+k")  # the focus stayed on the record button
        conf = os.path.join(self.desktop.home, ".config", "nivu", "nivu.conf")
        wait_until(lambda: b'\\"keyCode\\":40,\\"carbonModifiers\\":6144' in read_bytes(conf),
                   what="Ctrl+Alt+K in the settings file")

        # Straight from an xterm, before Qt has noticed that nivu's window lost the focus.
        self.desktop.xdotool("windowmove", window, 10, 40)
        self.desktop.start_xterm()
        self.desktop.keys("ctrl+alt+k")
        menu = wait_until(lambda: self.desktop.popups(100), what="the preset menu on the new shortcut")[0]
        # Qt deactivates nivu some 0.5 s after its window lost the focus: the menu outlives that.
        holds_for(lambda: self.desktop.popup_open(menu), 0.8, what="the menu to stay open")
        self.desktop.keys("Escape")

        self.assertEqual(self.choose_settings(), window, "the same window again, raised")
        wait_until(lambda: self.off_centre(window) < 30, what="the window centred again")
        self.desktop.keys("alt+F4")
        wait_until(lambda: window not in self.desktop.client_windows(), what="the window to close")
        self.assertIsNone(nivu.poll(), "closing the settings does not quit nivu")

    def test_the_hot_key_is_held_until_quit_and_one_taken_in_a_keyboard_change_goes_to_its_holder(self):
        nivu = self.desktop.start_nivu()
        holder = xdisplay.Display(self.desktop.display)
        holder.set_error_handler(lambda *_: None)  # refusals are counted below
        self.addCleanup(holder.close)

        def grab(*locks):
            """Grabs Alt+Super+R in these lock states on the holder's connection; True if allowed."""
            failures = []
            for lock in locks:
                holder.screen().root.grab_key(R_KEY, ALT_SUPER | lock, True, X.GrabModeAsync, X.GrabModeAsync,
                                              onerror=lambda error, *_: failures.append(error))
            holder.sync()
            return not failures

        def press(*names):  # with XTEST: xdotool would change the keyboard mapping again
            codes = [holder.keysym_to_keycode(XK.string_to_keysym(name)) for name in names]
            for event, order in ((X.KeyPress, codes), (X.KeyRelease, codes[::-1])):
                for code in order:
                    xtest.fake_input(holder, event, code)
            holder.sync()

        every_lock = (0, X.LockMask, X.Mod2Mask, X.LockMask | X.Mod2Mask)
        self.assertFalse(grab(*every_lock), "nivu holds Alt+Super+R in every lock state")
        # The holder takes a lock state that nobody uses yet; then Num Lock moves there.
        self.assertTrue(grab(X.Mod3Mask))
        modifiers = [list(keys) for keys in holder.get_modifier_mapping()]
        modifiers[5], modifiers[4] = modifiers[4], []  # Num Lock: Mod2 -> Mod3
        self.assertEqual(holder.set_modifier_mapping(modifiers), X.MappingSuccess)
        nivu.errors.wait_for(lambda line: "another program holds a shortcut" in line)
        self.desktop.start_xterm()
        press("Num_Lock")
        press("Super_L", "Alt_L", "r")
        key_press = lambda: holder.pending_events() and holder.next_event().type == X.KeyPress  # noqa: E731
        wait_until(key_press, what="the key press at its holder")
        self.assertEqual(self.desktop.popups(), [])
        press("Num_Lock")

        self.choose_settings()
        holder.screen().root.ungrab_key(R_KEY, X.AnyModifier)
        holder.sync()
        for name in ["Tab"] * 6 + ["space"]:  # to the record button, and press it
            press(name)
        press("Super_L", "Alt_L", "r")  # the same combination, now free again
        self.desktop.start_xterm()
        press("Super_L", "Alt_L", "r")
        wait_until(lambda: self.desktop.popups(100), what="the preset menu on the recorded shortcut")
        self.assertEqual(self.desktop.end(nivu), 0)
        self.assertTrue(grab(*every_lock), "free as soon as nivu has quit")


class ShellWhileServersComeAndGo(DesktopTestCase):
    window_manager = None

    def status_menu_height(self):
        """Opens the status menu, measures it and closes it again."""
        menu = self.desktop.open_status_menu()
        self.desktop.keys("Escape")
        self.desktop.wait_closed(menu)
        return menu["height"]

    def test_nivu_waits_for_a_window_manager_and_a_tray_each_time_one_starts(self):
        nivu = self.desktop.start_nivu('{"rememberedSizes": {"XTerm": {"_default": {"height": 394, "width": 604}}}, '
                                       '"trackedBundleIdentifiers": ["XTerm"]}')
        nivu.errors.wait_for(lambda line: line.startswith("nivu: no system tray is running"))
        self.desktop.start_tray()
        wait_until(lambda: [w for w in self.desktop.root.query_tree().children if self.desktop.viewable(w)
                            and self.desktop.property(w.id, "WM_NAME") == b"Nivu"],
                   what="Nivu's explanation that a window manager is needed")
        self.desktop.screenshot("waiting-for-window-manager")
        waiting = self.status_menu_height()

        for _ in range(2):  # the first window manager, then one after a crash
            # Past nivu's first check for a window manager: the checks go on until one comes.
            holds_for(lambda: nivu.poll() is None, 1.5, what="nivu waiting")
            self.desktop.start_window_manager()
            wait_until(lambda: self.status_menu_height() < waiting, what="the grant entry hidden")
            xterm = self.desktop.start_xterm()
            wait_until(lambda: self.desktop.size(xterm) == (604, 394), what="the remembered size")
            self.desktop.end(self.desktop.wm, signal.SIGKILL)
            wait_until(lambda: self.status_menu_height() == waiting, what="the grant entry back")

        self.desktop.end(self.desktop.tray_host, signal.SIGKILL)
        wait_until(lambda: not self.desktop.selection_owner("_NET_SYSTEM_TRAY_S0"), what="the tray to go")
        self.desktop.start_tray()
        wait_until(self.desktop.tray_icon, what="the icon in the new tray")
        self.assertIsNone(nivu.poll())
        self.assertEqual(len(nivu.errors.matching(lambda line: "no system tray" in line)), 1, "said once")

    def test_a_crash_of_nivu_fails_the_test_and_shows_its_backtrace(self):
        """The harness's own promise: a program of Nivu's that dies of a signal leaves its
        backtrace, with function names and lines, in the test's output, and fails the test."""
        nivu = self.desktop.start_nivu()
        os.kill(nivu.pid, signal.SIGSEGV)
        self.desktop.end(nivu)
        [report] = self.desktop.take_crashes()
        self.assertIn("nivu (pid", report)
        self.assertIn("crashed: SIGSEGV", report)
        self.assertRegex(report, r" main \(.*\) at .*main\.cpp:\d+", "the backtrace reaches main, with its line")

    def test_a_killed_x_server_ends_nivu_with_a_message_and_intact_files(self):
        self.desktop.start_window_manager()  # while nivu waits for one, Qt's exit may come first
        nivu = self.desktop.start_nivu()
        before = read_bytes(self.desktop.config_path)
        self.desktop.x.close()
        self.desktop.end(self.desktop.xvfb, signal.SIGKILL)
        self.assertEqual(nivu.wait(timeout=15), 1)
        # Qt's own connection may notice too and say so; nivu's line comes, and nothing aborts.
        nivu.errors.wait_for(lambda line: line == "nivu: lost the connection to the X server")
        self.assertFalse(nivu.errors.matching(lambda line: "Abort" in line or "core dumped" in line))
        self.assertEqual(read_bytes(self.desktop.config_path), before)


class ShellWithoutDisplay(unittest.TestCase):
    def run_alone(self, command, home, **env):
        env = dict({k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}, HOME=home,
                   XDG_RUNTIME_DIR=home, **env)
        return subprocess.Popen(command, env=env, cwd=REPO_DIR, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True)

    def test_no_display_gives_one_clear_line_and_writes_nothing(self):
        with Desktop(window_manager=None) as desktop:
            for display, message in ((None, "nivu: no X display: DISPLAY is not set\n"),
                                     (":65000", "nivu: cannot open display :65000\n"),
                                     (desktop.display + ".5", f"nivu: display {desktop.display}.5 has no screen 5\n")):
                with tempfile.TemporaryDirectory() as home:
                    nivu = self.run_alone([binary("nivu")], home, **({"DISPLAY": display} if display else {}))
                    self.assertEqual(nivu.communicate(timeout=30)[1], message)
                    self.assertEqual((nivu.returncode, os.listdir(home)), (1, []))

    def test_the_run_command_starts_a_private_desktop_and_saves_a_screenshot(self):
        with tempfile.TemporaryDirectory() as folder:
            shot = os.path.join(folder, "nivu.png")
            run = self.run_alone(["bash", "scripts/run"], folder, NIVU_SCREENSHOT=shot,
                                 NIVU_BUILD_DIR=os.environ.get("NIVU_BUILD_DIR", "build"))
            try:
                self.assertIn("private headless desktop", run.stdout.readline(), "the first line comes once all is set up")
                wait_until(lambda: os.path.exists(shot) and os.path.getsize(shot) > 0, what="the screenshot")
                self.assertEqual(read_bytes(shot)[:8], b"\x89PNG\r\n\x1a\n")
            finally:
                run.send_signal(signal.SIGINT)
                run.communicate(timeout=30)
            self.assertEqual(run.returncode, 0)


if __name__ == "__main__":
    unittest.main()
