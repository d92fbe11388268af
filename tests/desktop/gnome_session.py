"""A private GNOME session for tests: GNOME Shell headless on a Wayland socket of its own, with
a private session bus and a stand-in system bus (the shell asks logind where the machine has
systemd's seats), a fresh HOME, and input through mutter's RemoteDesktop."""

import itertools
import json
import os
import shutil
import subprocess

from gi.repository import Gio, GLib

from harness import LineReader, WaylandSession, binary, holds_within, require, settle, wait_until


BTN_LEFT = 272
ALT, SUPER, CONTROL, R, K, ESCAPE = 0xFFE9, 0xFFEB, 0xFFE3, 0x72, 0x6B, 0xFF1B  # keysyms
# A test-only extension that lets the test ask the shell (org.gnome.Shell.Eval) and tells it
# whether a window is being moved or resized and each window's last size, also once it has
# closed; Nivu's own extension never does any of this.
TEST_EXTENSION = "nivu-test@nivu.org"
TEST_EXTENSION_BODY = """
let displaySignals = [];
function enableTest() {
    global.context.unsafe_mode = true;
    globalThis.nivuTestGrab = false;
    globalThis.nivuTestLastSizes = {}; // by window id, kept once the window has gone
    const follow = window => window.connect('size-changed', () => {
        const frame = window.get_frame_rect();
        globalThis.nivuTestLastSizes[window.get_id()] = [frame.width, frame.height];
    });
    global.get_window_actors().forEach(actor => follow(actor.meta_window));
    displaySignals = [global.display.connect('grab-op-begin', () => { globalThis.nivuTestGrab = true; }),
                      global.display.connect('grab-op-end', () => { globalThis.nivuTestGrab = false; }),
                      global.display.connect('window-created', (_display, window) => follow(window))];
}
function disableTest() {
    global.context.unsafe_mode = false;
    displaySignals.forEach(id => global.display.disconnect(id));
}
"""
TEST_EXTENSION_ENTRIES = {  # by the shell's kind of extension
    "legacy": "function init() {}\nfunction enable() { enableTest(); }\nfunction disable() { disableTest(); }\n",
    "module": "import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';\n"
              "export default class extends Extension { enable() { enableTest(); } disable() { disableTest(); } }\n",
}
SYSTEM_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
"""
# The window the shell finds under the pointer (its pick, as it routes a press; 1: reactive
# actors only, as Clutter.PickMode.REACTIVE).
UNDER_POINTER_JS = """(() => {
  const [x, y] = global.get_pointer();
  for (let actor = global.stage.get_actor_at_pos(1, x, y); actor; actor = actor.get_parent()) {
    if (actor.meta_window)
      return String(actor.meta_window.get_id());
  }
  return null;
})()"""
WINDOWS_JS = """JSON.stringify(global.get_window_actors().map(a => a.meta_window).map(w => {
  const f = w.get_frame_rect();
  return {id: String(w.get_id()), app: w.get_gtk_application_id() || w.get_wm_class(),
          title: w.get_title(), pid: w.get_pid(), x: f.x, y: f.y, w: f.width, h: f.height,
          focus: w.has_focus(), kept: w.is_above(), hidden: w.is_hidden()};
}))"""


class GnomeShellSession(WaylandSession):
    """GNOME Shell headless, at 2560 x 1440, with the test's extension. Programs started here
    are Wayland clients."""

    def __init__(self, nivu_extension=None):
        """nivu_extension: what a copy of Nivu's extension, installed before the shell starts,
        has in its metadata instead of Nivu's own (a dict, perhaps empty); none where none is."""
        self.nivu_extension = nivu_extension
        self.shell = self.system_bus_pid = self.bus = self.remote = self.major = None

    def __enter__(self):
        for tool in ("gnome-shell", "dbus-daemon", "gsettings"):
            require(tool)
        self.make_home(XDG_CURRENT_DESKTOP="GNOME", XDG_SESSION_TYPE="wayland", QT_QPA_PLATFORM="wayland",
                       GDK_BACKEND="wayland")
        self.env["XDG_DATA_HOME"] = os.path.join(self.home, ".local", "share")
        self.extensions = os.path.join(self.env["XDG_DATA_HOME"], "gnome-shell", "extensions")
        try:
            self.start_session_bus()
            self.start_system_bus()
            self.bus = Gio.DBusConnection.new_for_address_sync(
                self.env["DBUS_SESSION_BUS_ADDRESS"],
                Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
            self.major = int(subprocess.run(["gnome-shell", "--version"], capture_output=True,
                                            text=True).stdout.split()[-1].split(".")[0])
            self.install_extension(TEST_EXTENSION, TEST_EXTENSION_BODY + TEST_EXTENSION_ENTRIES[self.kind])
            enabled = [TEST_EXTENSION]
            if self.nivu_extension is not None:
                self.install_nivu_extension(self.nivu_extension)
                enabled.append("nivu@nivu.org")
            self.gsettings("set", "org.gnome.shell", "enabled-extensions", json.dumps(enabled).replace('"', "'"))
            self.gsettings("set", "org.gnome.desktop.interface", "enable-animations", "false")
            self.start_shell()
        except BaseException:
            self.clean_up()
            raise
        return self

    def clean_up(self):
        if self.bus:
            self.bus.close_sync(None)
        try:
            super().clean_up()
        finally:  # also where it reports a crash of Nivu's
            if self.system_bus_pid:
                os.kill(self.system_bus_pid, 15)

    def start_system_bus(self):
        with open(config := os.path.join(self.home, "system-bus.conf"), "w") as file:
            file.write(SYSTEM_BUS_CONFIG.format(socket=os.path.join(self.home, "system_bus_socket")))
        address, pid = subprocess.run(["dbus-daemon", f"--config-file={config}", "--fork", "--print-address=1",
                                       "--print-pid=1"], env=self.env, check=True, capture_output=True,
                                      text=True).stdout.split()
        self.system_bus_pid = int(pid)
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = address

    def gsettings(self, *arguments):
        return subprocess.run(["gsettings", *arguments], env=self.env, check=True, capture_output=True,
                              text=True).stdout.strip()

    @property
    def kind(self):
        """The shell's kind of extension: scripts up to GNOME 44, then modules."""
        return "legacy" if self.major < 45 else "module"

    def install_extension(self, uuid, source):
        os.makedirs(folder := os.path.join(self.extensions, uuid))
        with open(os.path.join(folder, "metadata.json"), "w") as file:
            json.dump({"uuid": uuid, "name": uuid, "description": "test", "shell-version": [str(self.major)]}, file)
        with open(os.path.join(folder, "extension.js"), "w") as file:
            file.write(source)

    def install_nivu_extension(self, changes):
        shutil.copytree(os.path.join(os.path.dirname(binary("nivu")), "gnome-extension", self.kind, "nivu@nivu.org"),
                        folder := os.path.join(self.extensions, "nivu@nivu.org"))
        with open(path := os.path.join(folder, "metadata.json")) as file:
            metadata = json.load(file)
        with open(path, "w") as file:
            json.dump(dict(metadata, **changes), file)

    def installed_metadata(self, uuid="nivu@nivu.org"):
        with open(os.path.join(self.extensions, uuid, "metadata.json")) as file:
            return json.load(file)

    def start_shell(self):
        """Starts GNOME Shell (again: extensions are found only then) and leaves the overview."""
        self.shell = self.spawn(["gnome-shell", "--headless", "--wayland", "--no-x11", "--virtual-monitor",
                                 "2560x1440", "--wayland-display=nivu-test"], capture=True)
        self.shell.output, self.shell.errors = LineReader(self.shell.stdout), LineReader(self.shell.stderr)
        wait_until(lambda: self.shell.poll() is not None or self.eval("true") == "true", timeout=60,
                   what="GNOME Shell to answer")
        if self.shell.poll() is not None:
            raise RuntimeError(f"gnome-shell could not start: {self.shell.errors.lines[-15:]}")
        self.env["WAYLAND_DISPLAY"] = "nivu-test"
        # The shell opens the overview once its start is over.
        wait_until(lambda: self.eval("Main.layoutManager._startingUp") == "false", what="the shell's start over")
        self.eval("Main.overview.hide()")
        wait_until(lambda: self.eval("Main.overview.visible") == "false", what="the overview closed")
        # The test's hands, from the start: their session puts an indicator into the top bar,
        # which moves the buttons beside it (and stops the session when clicked).
        path = self.call("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                         "org.gnome.Mutter.RemoteDesktop", "CreateSession", None, "(o)")[0]
        self.call("org.gnome.Mutter.RemoteDesktop", path, "org.gnome.Mutter.RemoteDesktop.Session", "Start")
        self.remote = path

    def stop_shell(self):
        self.remote = None
        self.end(self.shell)

    def call(self, name, path, interface, method, arguments=None, reply=None, timeout=10000):
        return self.bus.call_sync(name, path, interface, method, arguments,
                                  GLib.VariantType(reply) if reply else None, Gio.DBusCallFlags.NONE, timeout,
                                  None).unpack()

    def eval(self, script):
        """Runs JavaScript in the shell; its value as the shell's JSON text, or None."""
        try:
            ok, result = self.call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval",
                                   GLib.Variant("(s)", (script,)), "(bs)")
        except GLib.Error:
            return None
        return result if ok else None

    def bus_name(self, name, own):
        """Takes a name on the session bus, or lets it go, as the program that provides it would."""
        method, arguments = ("RequestName", GLib.Variant("(su)", (name, 0))) if own else \
            ("ReleaseName", GLib.Variant("(s)", (name,)))
        self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method, arguments, "(u)")

    def owned(self, name):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                         GLib.Variant("(s)", (name,)), "(b)")[0]

    def extension_state(self, uuid="nivu@nivu.org"):
        info = self.call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell.Extensions", "GetExtensionInfo",
                         GLib.Variant("(s)", (uuid,)), "(a{sv})")[0]
        return info.get("state")

    def windows(self):
        return json.loads(json.loads(self.eval(WINDOWS_JS) or '"[]"'))

    def shown_size(self, window):
        return self.size(window)

    def last_size(self, window):
        """The window's size as the shell last knew it, also once the window has closed."""
        size = json.loads(json.loads(self.eval(f"JSON.stringify(globalThis.nivuTestLastSizes['{window}'] || null)")
                                     or '"null"'))
        return size and tuple(size)

    def badges(self):
        return [w for w in self.windows() if w["title"] == "Nivu size" and not w["hidden"]]

    def place_window(self, window, x, y):
        """Moves the window's frame there, as a drag of its title bar would. Where the shell puts
        a new window is its own choice, and a drag of the corner that follows must stay on the
        monitor."""
        self.eval(f"global.get_window_actors().map(a => a.meta_window)"
                  f".filter(w => String(w.get_id()) === '{window}').forEach(w => w.move_frame(true, {x}, {y}))")
        wait_until(lambda: (f := self.frame(window)) and (f["x"], f["y"]) == (x, y), what=f"window {window} at {x}, {y}")

    def pointer(self):
        return tuple(json.loads(self.eval("global.get_pointer().slice(0, 2)")))

    def animate(self, on):
        """Animations on, as where the shell draws with a GPU, or off again (it turns them off
        where it draws in software, as here)."""
        self.gsettings("set", "org.gnome.desktop.interface", "enable-animations", json.dumps(on))
        self.eval(f"imports.gi.St.Settings.get().{'uninhibit' if on else 'inhibit'}_animations()")
        wait_until(lambda: self.eval("imports.gi.St.Settings.get().enable_animations") == json.dumps(on),
                   what=f"animations {'on' if on else 'off'}")

    # --- The test's hands: mutter's RemoteDesktop, one session for the shell's lifetime --------

    def _remote(self, method, signature, *arguments):
        self.call("org.gnome.Mutter.RemoteDesktop", self.remote, "org.gnome.Mutter.RemoteDesktop.Session", method,
                  GLib.Variant(signature, arguments))

    def move(self, x, y):
        """Moves the pointer to the point, exactly."""
        for _ in range(3):
            here = self.pointer()
            if here == (x, y):
                return
            self._remote("NotifyPointerMotionRelative", "(dd)", float(x - here[0]), float(y - here[1]))
            # The shell takes the motion in its own time: the next step starts from where it is.
            if holds_within(lambda: self.pointer() == (x, y), 1.0):
                return
        raise AssertionError(f"the pointer not at {x}, {y} but at {self.pointer()}")

    def button(self, pressed, code=BTN_LEFT):
        self._remote("NotifyPointerButton", "(ib)", code, pressed)

    def click(self, x, y, on=None):
        """on: the id of the window the press is for. The shell finds the window under the
        pointer as the pointer moves; one that moved there before the shell had drawn a window
        it has just shown finds the window beneath (under load, 1 suite run in 4 pressed on the
        program under the preset menu). Before each look at what the shell finds there, the
        hand moves by a pixel: the press follows a move made once the shell found the window."""
        self.move(x, y)
        if on is not None:
            nudges = itertools.cycle((1.0, -1.0))

            def found():
                self._remote("NotifyPointerMotionRelative", "(dd)", next(nudges), 0.0)
                return self.eval(UNDER_POINTER_JS) == json.dumps(on)
            wait_until(found, what=lambda: f"window {on} under the pointer, not {self.eval(UNDER_POINTER_JS)}")
        self.button(True)
        self.button(False)

    def centre(self, actor):
        """The middle of a shell actor (JavaScript that names it), once it stays in place."""
        script = (f"(a => {{ const [x, y] = a.get_transformed_position(), [w, h] = a.get_transformed_size();"
                  f" return [Math.round(x + w / 2), Math.round(y + h / 2)]; }})({actor})")
        settle(lambda: self.eval(script), f"the shell's {actor}", quiet=0.2)
        return tuple(json.loads(self.eval(script)))

    def choose_in_top_bar(self, role, title):
        """Opens the menu of the top bar's button by its role and chooses the entry, by hand."""
        button = f"Main.panel.statusArea[{json.dumps(role)}]"
        self.click(*self.centre(button))
        wait_until(lambda: self.eval(f"{button}.menu.isOpen") == "true", what=f"the menu of {role} open")
        self.click(*self.centre(f"{button}.menu._getMenuItems().find(i => i.label && i.label.text === "
                                f"{json.dumps(title)})"))

    def press_hot_key(self):
        self.type(ALT, SUPER, R)

    def choose_preset(self, index):
        """Clicks the entry of the open preset menu (of ten): the shell counts a new window as
        focused a moment before its keyboard goes there, and keys typed at once may reach the
        window before (1 suite run in 4 with two CPU hogs lost one or more)."""
        menu = self.titled("Nivu presets")[0]
        self.click(menu["x"] + menu["w"] // 2, menu["y"] + menu["h"] * (2 * index + 1) // 20, on=menu["id"])

    def running_on(self):
        return self.shell.poll() is None and self.eval("true") == "true"

    def key(self, keysym, pressed):
        self._remote("NotifyKeyboardKeysym", "(ub)", keysym, pressed)

    def type(self, *keysyms):
        """Presses the keys one after the other and lets them go in reverse."""
        for keysym in keysyms:
            self.key(keysym, True)
        for keysym in reversed(keysyms):
            self.key(keysym, False)

    def resize_by_hand(self, window, start, end, steps, on_step=None):
        """Drags the window's corner from start to end in steps, as a hand does."""
        grabbed = lambda: self.eval("globalThis.nivuTestGrab") == "true"  # noqa: E731
        self.move(start[0] - 30, start[1] - 30)
        # A busy program may pass over the first press on its edge (GTK 4 on a loaded machine,
        # seen once in a few runs): a hand lets go and presses again.
        for _ in range(3):
            self.move(*start)
            self.button(True)
            for nudge in range(1, 6):
                self.move(start[0] + nudge, start[1] + nudge)
                if grabbed():
                    break
            if holds_within(grabbed, 2):
                break
            self.button(False)
        else:
            raise AssertionError("the shell did not start resizing the window at three presses")
        try:
            for step in range(1, steps + 1):
                self.move(round(start[0] + (end[0] - start[0]) * step / steps),
                          round(start[1] + (end[1] - start[1]) * step / steps))
                if on_step:
                    on_step(step)
            # A hand lets go once it sees the window follow: the program draws each size in its
            # own time, and the shell sends it no newer size after the release.
            settle(lambda: self.size(window), "the window to follow the hand", quiet=0.3)
        finally:  # a button left pressed would swallow every later press of the test
            self.button(False)

    def start_nivu(self, config):
        """Starts nivu and waits until its extension reports to it (see launch_nivu)."""
        return self.launch_nivu(lambda: self.owned("org.nivu.Nivu"), config)
