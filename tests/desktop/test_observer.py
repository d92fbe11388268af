"""The observer on a real X display: nivu-inspect watching openbox, xterm and Qt windows."""

import subprocess
import time
import unittest

from harness import DesktopTestCase, LineReader, binary, wait_until


class ObserverOnRealDesktop(DesktopTestCase):
    def setUp(self):
        super().setUp()
        self.inspect = self.desktop.spawn([binary("nivu-inspect")], capture=True)
        self.events = LineReader(self.inspect.stdout, parse_json=True)

    def tearDown(self):
        self.assertIsNone(self.inspect.poll(), "nivu-inspect must survive everything a test does")

    def event(self, kind, timeout=10.0, **fields):
        return self.events.wait_for(
            lambda e: e["event"] == kind and all(e.get(k) == v for k, v in fields.items()),
            timeout, what=f"{kind} {fields}")

    def events_where(self, **fields):
        return self.events.matching(lambda e: all(e.get(k) == v for k, v in fields.items()))

    def start_qt_window(self, *args):
        before = set(self.desktop.client_windows())
        process = self.desktop.spawn([binary("qt-test-window"), *args])
        wid = wait_until(lambda: next((w for w in self.desktop.client_windows() if w not in before), None),
                         what="the Qt window")
        return process, wid

    def test_new_xterm_reports_its_first_window_and_live_resizes(self):
        _, window = self.desktop.start_xterm()
        self.event("frontmost", bundleIdentifier="XTerm")
        created = self.event("created", bundleIdentifier="XTerm")
        self.assertIsNone(created["windowIdentifier"])
        start = self.desktop.geometry(window)

        self.desktop.drag_bottom_right_edge(window, steps=25)

        last = wait_until(lambda: [e for e in self.events_where(event="resized")
                                   if e["width"] == self.desktop.geometry(window)["width"]
                                   and e["height"] == self.desktop.geometry(window)["height"]],
                          what="the final size as a resized event")
        resizes = self.events_where(event="resized", bundleIdentifier="XTerm")
        self.assertGreater(len(resizes), 5, "a drag is reported live, event by event")
        self.assertGreater(last[-1]["width"], start["width"])
        self.assertGreater(last[-1]["height"], start["height"])

    def test_dialogs_and_fixed_size_windows_produce_no_events(self):
        self.start_qt_window("--fixed", "--role", "fixed")
        _, main = self.start_qt_window("--role", "main", "--dialog", "dlg")
        self.event("created", windowIdentifier="main")
        dialog = self.desktop.wait_for_client(lambda w: self.desktop.text_property(w, "WM_WINDOW_ROLE") == b"dlg",
                                              what="the dialog")
        self.desktop.xdotool("windowsize", dialog, 300, 200)
        self.desktop.xdotool("windowsize", main, 450, 350)
        self.event("resized", windowIdentifier="main")
        # A later window's created event is due after any event the dialog could still cause.
        self.desktop.start_xterm()
        self.event("created", bundleIdentifier="XTerm")
        self.assertEqual(self.events_where(windowIdentifier="dlg"), [])
        self.assertEqual(self.events_where(windowIdentifier="fixed"), [])

    def test_switching_the_active_application_moves_the_observation(self):
        _, first = self.desktop.start_xterm()
        _, second = self.desktop.start_xterm()
        self.desktop.activate(first)
        time_of_switch = len(self.events.drain())
        self.desktop.xdotool("windowsize", second, 500, 300)
        self.desktop.xdotool("windowsize", first, 620, 410)
        first_size = wait_until(lambda: self.desktop.geometry(first)["width"] != 484 and self.desktop.geometry(first))
        self.event("resized", width=first_size["width"], height=first_size["height"])
        second_size = self.desktop.geometry(second)
        after = self.events.drain()[time_of_switch:]
        self.assertFalse([e for e in after if e["event"] == "resized"
                          and (e["width"], e["height"]) == (second_size["width"], second_size["height"])],
                         "a background application's resizes are not reported")

        self.desktop.activate(second)
        self.desktop.xdotool("windowsize", second, 700, 450)
        size = wait_until(lambda: self.desktop.geometry(second)["width"] != second_size["width"]
                          and self.desktop.geometry(second))
        self.event("resized", width=size["width"], height=size["height"])

    def test_window_role_is_the_identifier(self):
        _, window = self.start_qt_window("--role", "editor")
        created = self.event("created", windowIdentifier="editor")
        self.assertIsNotNone(created["bundleIdentifier"])
        self.desktop.xdotool("windowsize", window, 520, 330)
        self.event("resized", windowIdentifier="editor", width=520, height=330)

    def test_writing_a_size_resizes_the_focused_window_in_place(self):
        _, window = self.desktop.start_xterm()
        self.desktop.activate(window)
        before = self.desktop.geometry(window)
        subprocess.run([binary("x11-probe"), "resize-focused", "700", "500"], env=self.desktop.env, check=True)
        after = wait_until(lambda: self.desktop.geometry(window)["width"] != before["width"]
                           and self.desktop.geometry(window), what="the written size")
        self.assertLess(abs(after["width"] - 700), 12, "xterm snaps to its character grid")
        self.assertLess(abs(after["height"] - 500), 20)
        self.assertEqual((after["x"], after["y"]), (before["x"], before["y"]), "position kept")
        self.event("resized", width=after["width"], height=after["height"])


if __name__ == "__main__":
    unittest.main()
