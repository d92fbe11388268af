"""nivu-inspect on a real desktop: which windows it reports, and for which application."""

import unittest

from harness import DesktopTestCase, LineReader, TestClient, binary, wait_until


class ObserverOnRealDesktop(DesktopTestCase):
    def setUp(self):
        super().setUp()
        self.inspect = self.desktop.spawn([binary("nivu-inspect")], capture=True)
        self.events = LineReader(self.inspect.stdout, parse_json=True)
        self.addCleanup(lambda: self.assertIsNone(self.inspect.poll(), "nivu-inspect survives"))

    def event(self, kind, **fields):
        return self.events.wait_for(
            lambda e: e["event"] == kind and all(e.get(k) == v for k, v in fields.items()),
            what=f"{kind} {fields}")

    def events_where(self, **fields):
        return self.events.matching(lambda e: all(e.get(k) == v for k, v in fields.items()))

    def test_main_windows_are_reported_by_role_and_live_and_dialogs_and_fixed_windows_never(self):
        self.desktop.start_qt_window("--fixed", "--role", "fixed")
        main = self.desktop.start_qt_window("--role", "main", "--dialog", "dlg")
        self.event("created", windowIdentifier="main")
        dialog = wait_until(lambda: next((w for w in self.desktop.client_windows()
                                          if self.desktop.text_property(w, "WM_WINDOW_ROLE") == b"dlg"), None),
                            what="the dialog")
        self.desktop.xdotool("windowsize", dialog, 300, 200)
        self.desktop.xdotool("windowsize", main, 520, 330)
        self.event("resized", windowIdentifier="main", width=520, height=330)

        # Events come in order: once the xterm's are in, anything the dialog caused would be too.
        xterm = self.desktop.start_xterm()
        self.event("frontmost", bundleIdentifier="XTerm")
        self.assertIsNone(self.event("created", bundleIdentifier="XTerm")["windowIdentifier"])
        start = self.desktop.size(xterm)
        self.desktop.drag(xterm, 6, 4, 25)
        final = wait_until(lambda: (lambda size: size != start and size)(self.desktop.size(xterm)),
                           what="the drag to resize the xterm")
        self.event("resized", bundleIdentifier="XTerm", width=final[0], height=final[1])
        self.assertGreater(len(self.events_where(event="resized", bundleIdentifier="XTerm")), 5,
                           "a drag is reported live, step by step")
        self.assertEqual(self.events_where(windowIdentifier="dlg"), [])
        self.assertEqual(self.events_where(windowIdentifier="fixed"), [])

    def test_each_window_counts_for_the_application_of_its_own_class_and_by_its_visible_size(self):
        client = TestClient(self.desktop)  # one process, as a browser with installed web apps
        self.addCleanup(client.close)
        client.window(b"web\0WebAppOne\0", role=b"one")
        second = client.window(b"web\0WebAppTwo\0", role=b"two", shadow=[10, 10, 8, 12])
        wait_until(lambda: second.id in self.desktop.client_windows(), what="both windows listed")
        self.desktop.activate(second.id)
        self.desktop.xdotool("windowsize", second.id, 420, 260)
        resized = self.event("resized", windowIdentifier="two")
        self.assertEqual(resized["bundleIdentifier"], "WebAppTwo")
        self.assertEqual((resized["width"], resized["height"]), (400, 240), "the size without its shadow")

    def test_only_the_active_application_is_observed(self):
        first = self.desktop.start_xterm()
        second = self.desktop.start_xterm()
        self.desktop.activate(first)
        first_start = self.desktop.size(first)
        switched = len(self.events.lines)
        self.desktop.xdotool("windowsize", second, 500, 300)
        self.desktop.xdotool("windowsize", first, 620, 410)
        first_size = wait_until(lambda: self.desktop.size(first) != first_start and self.desktop.size(first))
        self.event("resized", width=first_size[0], height=first_size[1])
        second_size = self.desktop.size(second)
        self.assertFalse([e for e in self.events.lines[switched:] if e["event"] == "resized"
                          and (e["width"], e["height"]) == second_size],
                         "a background application's resizes are not reported")

        self.desktop.activate(second)
        self.desktop.xdotool("windowsize", second, 700, 450)
        size = wait_until(lambda: self.desktop.size(second) != second_size and self.desktop.size(second))
        self.event("resized", width=size[0], height=size[1])


if __name__ == "__main__":
    unittest.main()
