"""Nivu on Plasma's Wayland session: KWin headless with Nivu's script loaded into it, and real
Wayland programs, a Qt one and a GTK one, as tracked applications."""

import json
import unittest

from harness import KWinSession, LineReader, binary, wait_until

PROGRAMS = [  # the command, and the application id KWin reports for it
    (["/usr/lib/qt6/bin/linguist"], "linguist"),
    (["mousepad"], "mousepad"),
]


class SizesOnPlasmaWayland(unittest.TestCase):
    def test_a_resized_window_is_recorded_and_the_next_program_opens_at_that_size(self):
        with KWinSession() as session:
            tracked = {"rememberedSizes": {}, "trackedBundleIdentifiers": [app for _, app in PROGRAMS]}
            nivu = session.start_nivu(json.dumps(tracked))
            second = session.spawn([binary("nivu")], capture=True)
            self.assertEqual(second.wait(timeout=10), 1)
            self.assertIn(b"already running in this session", second.stderr.read())
            # nivu-inspect runs beside it, under names of its own, and shows the ids to track.
            inspect = session.spawn([binary("nivu-inspect")], capture=True)
            inspected = LineReader(inspect.stdout, parse_json=True)
            for command, app in PROGRAMS:
                with self.subTest(app):
                    program, window = session.start_program(command)
                    inspected.wait_for(lambda line: line.get("bundleIdentifier") == app and line["event"] == "frontmost",
                                       what=f"nivu-inspect to show {app} in front")
                    session.resize(window, 777, 555)
                    wait_until(lambda: session.stored_size(app) == {"width": 777, "height": 555},
                               what=f"777 x 555 recorded for {app}: {session.stored_size(app)}")
                    session.end(program)
                    wait_until(lambda: session.size(window) is None, what=f"{app} closed")
                    tracked["rememberedSizes"][app] = {"_default": {"width": 930, "height": 610}}
                    session.write_config(json.dumps(tracked))  # a size only nivu can give it
                    program, window = session.start_program(command)
                    wait_until(lambda: session.size(window) == (930, 610),
                               what=f"the new {app} at 930 x 610: {session.size(window)}")
                    session.end(program)
            self.assertIsNone(nivu.poll(), nivu.errors.lines)
            self.assertEqual(session.end(nivu), 0)
            self.assertFalse(session.script_loaded("nivu"), "the script is unloaded at quit")


if __name__ == "__main__":
    unittest.main()
