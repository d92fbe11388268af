"""The nivu a Debian package installed (NIVU_INSTALLED names its folder, /usr/bin), started as a
user starts it: on KWin headless it loads its script, gives a tracked program's new window its
remembered size, and quits cleanly, taking its script along."""

import json
import os
import unittest

from harness import KWinSession, binary, wait_until


class InstalledPackage(unittest.TestCase):
    def test_the_installed_nivu_restores_a_size_on_kwin(self):
        self.assertTrue(os.environ.get("NIVU_INSTALLED"), "NIVU_INSTALLED names the installed nivu's folder")
        self.assertTrue(os.access(binary("nivu"), os.X_OK), binary("nivu"))
        with KWinSession() as session:
            nivu = session.start_nivu(json.dumps({"trackedBundleIdentifiers": ["linguist"], "rememberedSizes": {
                "linguist": {"_default": {"width": 930, "height": 610}}}}))
            program, window = session.start_program(["/usr/lib/qt6/bin/linguist"])
            wait_until(lambda: session.buffer_size(window) == (930, 610),
                       what=lambda: f"linguist at 930 x 610: {session.frame(window)}")
            session.end(program)
            self.assertEqual(session.end(nivu), 0, nivu.errors.lines)
            self.assertFalse(session.script_loaded("nivu"), "the script is unloaded at quit")


if __name__ == "__main__":
    unittest.main()
