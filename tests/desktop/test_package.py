"""The nivu a Debian package installed (NIVU_INSTALLED names its folder, /usr/bin), started as a
user starts it: on KWin headless it loads its script, gives a tracked program's new window its
remembered size, and quits cleanly, taking its script along. Its GNOME Shell extension is where
GNOME finds it, listed for this release's GNOME and in the kind it loads."""

import json
import os
import subprocess
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

    def test_the_extension_is_where_gnome_finds_it_in_the_kind_this_gnome_loads(self):
        folder = os.path.join(os.path.dirname(os.environ["NIVU_INSTALLED"]), "share", "gnome-shell", "extensions",
                              "nivu@nivu.org")
        version = subprocess.run(["gnome-shell", "--version"], capture_output=True, text=True, check=True).stdout
        major = int(version.split()[-1].split(".")[0])
        with open(os.path.join(folder, "metadata.json")) as file:
            self.assertIn(str(major), json.load(file)["shell-version"])
        with open(os.path.join(folder, "extension.js")) as file:
            module = "export default" in file.read()
        self.assertEqual(module, major >= 45, f"GNOME {major}: modules from 45 on, scripts before")


if __name__ == "__main__":
    unittest.main()
