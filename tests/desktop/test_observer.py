"""nivu-inspect on a real desktop: which windows it reports, and for which application."""

import unittest

from harness import DesktopTestCase, LineReader, binary, wait_until


class ObserverOnRealDesktop(DesktopTestCase):
    def test_main_windows_of_the_active_application_are_reported_by_role_class_and_visible_size(self):
        inspect = self.desktop.spawn([binary("nivu-inspect")], capture=True)
        events = LineReader(inspect.stdout, parse_json=True)

        def event(kind, **fields):
            return events.wait_for(lambda e: e["event"] == kind and all(e.get(k) == v for k, v in fields.items()),
                                   what=f"{kind} {fields}")
        # Main windows by their role; dialogs and fixed-size windows never.
        client = self.client()
        client.window(b"app\0App\0", role=b"fixed", fixed=True)
        event("frontmost", bundleIdentifier="App")
        main = client.window(b"app\0App\0", role=b"main")
        event("created", windowIdentifier="main")
        dialog = client.window(b"app\0App\0", role=b"dlg", transient_for=main)
        wait_until(lambda: dialog.id in self.desktop.client_windows(), what="the dialog listed")
        self.desktop.xdotool("windowsize", dialog.id, 250, 150)
        self.desktop.xdotool("windowsize", main.id, 520, 330)
        event("resized", windowIdentifier="main", width=520, height=330)

        # One process with windows of two classes, as a browser with web apps: each counts for
        # its own class, by the size it shows without its shadow.
        client.window(b"web\0WebAppOne\0", role=b"one")
        web = client.window(b"web\0WebAppTwo\0", role=b"two", shadow=[10, 10, 8, 12])
        wait_until(lambda: web.id in self.desktop.client_windows(), what="both windows listed")
        self.desktop.activate(web.id)
        self.desktop.xdotool("windowsize", web.id, 420, 260)
        self.assertEqual([event("resized", windowIdentifier="two")[key] for key in ("bundleIdentifier", "width",
                                                                                    "height")], ["WebAppTwo", 400, 240])

        # Only the active application: a drag is reported live, a resize behind it never.
        first, second = self.desktop.start_xterm(), self.desktop.start_xterm(500, 400)
        self.desktop.activate(first)
        self.assertIsNone(event("created", bundleIdentifier="XTerm")["windowIdentifier"])
        seen, start = len(events.lines), self.desktop.size(first)
        self.desktop.xdotool("windowsize", second, 500, 300)
        self.desktop.drag(first, 6, 4, 25)
        final = wait_until(lambda: (lambda size: size != start and size)(self.desktop.size(first)))
        event("resized", bundleIdentifier="XTerm", width=final[0], height=final[1])
        resizes = [(e["width"], e["height"]) for e in events.lines[seen:] if e["event"] == "resized"]
        self.assertGreater(len(resizes), 5, "step by step")
        self.assertNotIn(background := self.desktop.size(second), resizes, "the application behind is not observed")
        self.desktop.activate(second)
        self.desktop.xdotool("windowsize", second, 700, 450)
        size = wait_until(lambda: self.desktop.size(second) != background and self.desktop.size(second))
        event("resized", width=size[0], height=size[1])
        self.assertEqual(events.matching(lambda e: e.get("windowIdentifier") in ("dlg", "fixed")), [])
        self.assertIsNone(inspect.poll(), "nivu-inspect survives")


if __name__ == "__main__":
    unittest.main()
