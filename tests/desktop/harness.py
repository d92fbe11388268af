"""Private desktops for tests: Xvfb with a window manager and perhaps a tray, or a headless KWin;
a temporary HOME; and the processes a test starts, each ended by its own id."""

import glob
import json
import os
import re
import resource
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

from Xlib import XK, X, Xatom
from Xlib import display as xdisplay
from Xlib import error as xerror
from Xlib.ext import xtest
from Xlib.protocol import event

REPO_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.environ.get("NIVU_BUILD_DIR", os.path.join(REPO_DIR, "build"))
TRACK_XTERM = '{"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm"]}'


def binary(name):
    """A program of the build; nivu and nivu-inspect as installed where NIVU_INSTALLED names
    their folder (a package's check)."""
    if (installed := os.environ.get("NIVU_INSTALLED")) and name in ("nivu", "nivu-inspect"):
        return os.path.join(installed, name)
    for folder in ("src", "tests"):
        if os.path.exists(path := os.path.join(BUILD_DIR, folder, name)):
            return path
    raise FileNotFoundError(f"{name} is not built in {BUILD_DIR}")


def require(tool):
    """A desktop test that cannot do its job fails loudly; it never skips."""
    if not shutil.which(tool):
        raise RuntimeError(f"{tool} is missing: run scripts/install-deps")


# Signals whose default action dumps a core: a process of Nivu's that dies of one has crashed.
CRASH_SIGNALS = {signal.SIGSEGV, signal.SIGABRT, signal.SIGBUS, signal.SIGFPE, signal.SIGILL, signal.SIGTRAP,
                 signal.SIGSYS, signal.SIGQUIT}


def allow_core_dumps(process):
    """Lets a process dump cores as large as the hard limit allows. Set from here once it runs,
    not in the child before exec (preexec_fn), which may deadlock beside the harness's threads."""
    hard = resource.getrlimit(resource.RLIMIT_CORE)[1]
    resource.prlimit(process.pid, resource.RLIMIT_CORE, (hard, hard))


def core_file(process):
    """Where the kernel wrote the core of a crashed process started in a folder of its own, or
    a sentence saying why there is none (a core_pattern that pipes cores to a helper)."""
    with open("/proc/sys/kernel/core_pattern") as file:
        pattern = file.read().strip()
    if pattern.startswith("|"):
        return None, f"the kernel hands cores to {pattern[1:].split()[0]} (core_pattern)"
    known = {"%p": str(process.pid), "%e": os.path.basename(process.args[0])[:15], "%%": "%"}
    path = "".join(known.get(part, "*") if re.fullmatch("%.", part) else glob.escape(part)
                   for part in re.split("(%.)", pattern))
    found = glob.glob(os.path.join(process.core_folder, path) + "*")  # core_uses_pid adds .PID
    return (found[0], None) if found else (None, f"no core matching {pattern} in {process.core_folder}")


def live_backtrace(pid):
    """Each thread of a running process: its state, where the kernel holds it, and its stack."""
    states = []
    for task in sorted(glob.glob(f"/proc/{pid}/task/*")):
        try:
            state = next(line.split(":", 1)[1].strip() for line in open(f"{task}/status") if line.startswith("State:"))
            states.append(f"thread {os.path.basename(task)}: {state}, in {read_bytes(f'{task}/wchan').decode() or '-'}")
        except (OSError, StopIteration):
            continue
    try:
        gdb = subprocess.run(["gdb", "-batch", "-nx", "-q", "-p", str(pid), "-ex", "set pagination off",
                              "-ex", "thread apply all bt"], capture_output=True, text=True, timeout=60)
    except subprocess.TimeoutExpired:
        return "\n".join(states + ["gdb could not attach within 60 s"])
    return "\n".join(states + [gdb.stdout.strip()]) if "#0" in gdb.stdout else None


def crash_report(process):
    """The signal a process of Nivu's died of and its backtrace from the core, with function
    names and lines, or where it hung; None where it did neither."""
    name = f"{os.path.basename(process.args[0])} (pid {process.pid})"
    if trace := getattr(process, "hang_trace", None):
        return f"{name} did not end within 5 s of SIGTERM; its threads then:\n{trace}"
    if process.returncode is None or -process.returncode not in CRASH_SIGNALS:
        return None
    report = [f"{name} did not end within 5 s of SIGTERM; SIGQUIT made it dump its core"
              if -process.returncode == signal.SIGQUIT else f"{name} crashed: {signal.Signals(-process.returncode).name}"]
    core, missing = core_file(process)
    if core:
        gdb = subprocess.run(["gdb", "-batch", "-nx", "-q", "-ex", "set pagination off", "-ex", "bt",
                              "-ex", "thread apply all bt", process.args[0], core],
                             capture_output=True, text=True, timeout=120)
        report.append(gdb.stdout.strip() or gdb.stderr.strip())
    else:
        report.append(f"no backtrace: {missing}")
    if errors := getattr(process, "errors", None):
        report.append("its last lines on stderr:\n" + "\n".join(errors.lines[-15:]))
    return "\n".join(report)


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def wait_until(predicate, timeout=10.0, what="condition", interval=0.02):
    """what: the fact waited for, or a function that says it with the state at the deadline."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what() if callable(what) else what}")
        time.sleep(interval)
    return value


def badge_beside(x, y, monitor=(0, 0, 2560, 1440), size=(120, 28)):
    """Where Nivu's badge sits for the pointer at (x, y) during a drag on Wayland: 16 right of
    and below it, on the pointer's other side where the monitor leaves no room. Where the
    compositor places a window is its own choice, so a drag may end near an edge."""
    left, top, width, height = monitor
    return (x + 16 if x + 16 + size[0] <= left + width else x - 16 - size[0],
            y + 16 if y + 16 + size[1] <= top + height else y - 16 - size[1])


def holds_for(predicate, duration, what="condition"):
    """Fails the moment predicate stops being true within duration seconds."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not predicate():
            raise AssertionError(f"{what}: no longer true")
        time.sleep(0.02)


def holds_within(predicate, timeout):
    """Whether the predicate comes true within the timeout."""
    try:
        wait_until(predicate, timeout=timeout)
        return True
    except AssertionError:
        return False


def settle(size, what, quiet=0.4):
    """Waits until size() has stayed the same for quiet seconds: past a new window's restore by
    nivu, which comes a quarter of a second after it is listed."""
    last = [size(), time.monotonic()]

    def quiet_long_enough():
        if (now := size()) != last[0]:
            last[:] = [now, time.monotonic()]
        return time.monotonic() - last[1] >= quiet
    wait_until(quiet_long_enough, what=f"{what} to keep its size")


class LineReader:
    """Collects a stream's lines on a thread; tests wait for lines that match."""

    def __init__(self, stream, parse_json=False):
        self.lines, self.parse = [], json.loads if parse_json else str
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for raw in iter(stream.readline, b""):
            self.lines.append(self.parse(raw.decode("utf-8", "replace").rstrip("\n")))

    def wait_for(self, predicate, timeout=10.0, what="a line"):
        return wait_until(lambda: next(iter(self.matching(predicate)), None), timeout,
                          lambda: f"{what}; saw {self.lines[-20:]}")

    def matching(self, predicate):
        return [line for line in list(self.lines) if predicate(line)]


# How a user's session starts each window manager, with the files of a user's own setup: i3
# with floating windows or tiling, fluxbox without a wallpaper (it would complain in a dialog
# that it cannot set one), herbstluftwm with floating windows that take the focus. xfwm4 keeps
# its settings in xfconf, on a session bus; muffin, marco and mutter in GSettings, here in
# memory. A third item is the environment a manager needs.
HERBSTLUFTWM_AUTOSTART = """#!/bin/sh
herbstclient rule floating=on
herbstclient rule focus=on
herbstclient mousebind Mod4-Button3 resize
herbstclient set update_dragged_clients true
"""
IN_MEMORY_SETTINGS = {"GSETTINGS_BACKEND": "memory"}
WINDOW_MANAGERS = {
    "openbox": (["openbox", "--sm-disable"], {}),
    "xfwm4": (["xfwm4", "--compositor=off"], {}),
    "xfwm4-compositing": (["xfwm4", "--compositor=on"], {}),
    "icewm": (["icewm"], {}),
    "fluxbox": (["fluxbox"], {".fluxbox/overlay": "background: none\n"}),
    "i3": (["i3", "-c", "{home}/i3.conf"], {"i3.conf": '# i3 config file (v4)\nfor_window [class=".*"] floating '
                                                       'enable\ndefault_floating_border pixel 6\n'}),
    "i3-tiling": (["i3", "-c", "{home}/i3.conf"], {"i3.conf": "# i3 config file (v4)\n"}),
    "muffin": (["muffin", "--replace", "--sm-disable"], {}, IN_MEMORY_SETTINGS),
    "marco": (["marco", "--replace", "--sm-disable", "--no-composite"], {}, IN_MEMORY_SETTINGS),
    "mutter": (["mutter", "--x11", "--replace", "--sm-disable"], {}, IN_MEMORY_SETTINGS),
    "kwin_x11": (["kwin_x11", "--replace"], {}),
    "awesome": (["awesome"], {}),
    "herbstluftwm": (["herbstluftwm", "--autostart", "{home}/.config/herbstluftwm/autostart"],
                     {".config/herbstluftwm/autostart": HERBSTLUFTWM_AUTOSTART}),
    "ignoring": (["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "clients", "ignoring_manager.py")], {}),
}
# How a user resizes a window where not by the corner of its frame: with a modifier and the
# right button inside the window (no edge to drag, or one that is hard to hit: muffin's and
# marco's invisible borders), or just outside KWin's frame, where its resize border lies.
RESIZE_GESTURES = {"muffin": "Alt_L", "marco": "Alt_L", "awesome": "Super_L", "herbstluftwm": "Super_L",
                   "kwin_x11": "outside"}
# Managers that draw an outline during a resize and size the window only at the release.
OUTLINE_RESIZES = {"fluxbox"}
MODIFIER_MASKS = {"Alt_L": X.Mod1Mask, "Super_L": X.Mod4Mask}
BUTTON_MASKS = {1: X.Button1Mask, 3: X.Button3Mask}


def qt_version():
    """The version of the Qt that Nivu runs on here, as numbers."""
    out = subprocess.run(["qtpaths6", "--qt-query", "QT_VERSION"], capture_output=True, text=True, check=True).stdout
    return tuple(int(part) for part in out.strip().split("."))


class Session:
    """A temporary HOME and runtime folder, perhaps a private session bus, and the processes a
    test starts."""

    processes, bus_pid = (), None

    def make_home(self, **env):
        self.processes = []
        self.home = tempfile.mkdtemp(prefix="nivu-desktop-")
        os.makedirs(runtime := os.path.join(self.home, "runtime"), mode=0o700)
        self.env = dict(os.environ, HOME=self.home, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8", LC_ALL="C.UTF-8",
                        XDG_CONFIG_HOME=os.path.join(self.home, ".config"))
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION"):
            self.env.pop(name, None)
        self.env.update(env)
        self.config_path = os.path.join(self.home, ".nivu", "config.json")

    def clean_up(self):
        """Ends what the test started; a test never passes while a program of Nivu's that it
        started has crashed, even after its scenario."""
        for process in reversed(self.processes):
            self.end(process)
        if self.bus_pid:
            os.kill(self.bus_pid, signal.SIGTERM)
        crashes = self.take_crashes()
        shutil.rmtree(self.home, ignore_errors=True)
        if crashes:
            raise AssertionError("\n\n".join(crashes))

    def take_crashes(self):
        """The crash reports of Nivu's programs that have ended, each given once."""
        reports = []
        for process in self.processes:
            if hasattr(process, "core_folder") and process.poll() is not None and not process.crash_seen:
                process.crash_seen = True
                if report := crash_report(process):
                    reports.append(report)
        return reports

    def __exit__(self, *exc):
        self.clean_up()

    def spawn(self, args, capture=False, env=None, stdin=subprocess.DEVNULL):
        """Starts a process of the test's; Nivu's own programs run in a folder of their own where
        a crash leaves its core."""
        output = subprocess.PIPE if capture else subprocess.DEVNULL
        own = os.path.dirname(args[0]) == os.path.dirname(binary("nivu"))
        folder = tempfile.mkdtemp(dir=self.home, prefix="cores-") if own else None
        process = subprocess.Popen(args, env=dict(self.env, **(env or {})), stdin=stdin, stdout=output, stderr=output,
                                   cwd=folder)
        if own:
            allow_core_dumps(process)
            process.core_folder, process.crash_seen = folder, False
        self.processes.append(process)
        return process

    def end(self, process, sig=signal.SIGTERM):
        if process.poll() is None:
            process.send_signal(sig)
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                # Where one of Nivu's hangs: its threads as they are, else the core SIGQUIT dumps.
                if hasattr(process, "core_folder"):
                    process.hang_trace = live_backtrace(process.pid)
                process.send_signal(signal.SIGKILL if getattr(process, "hang_trace", None) or
                                    not hasattr(process, "core_folder") else signal.SIGQUIT)
                try:
                    process.wait(timeout=60)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for stream in (process.stdin, process.stdout, process.stderr):
            if stream:
                stream.close()
        return process.returncode

    def launch_nivu(self, launched, config, env=None):
        """Starts nivu, its stderr read into nivu.errors, and waits until launched() and it has
        made its size store; then writes the config, as a hand edit."""
        if os.path.exists(self.config_path):
            os.remove(self.config_path)
        nivu = self.spawn([binary("nivu")], capture=True, env=env)
        nivu.errors = LineReader(nivu.stderr)
        wait_until(lambda: nivu.poll() is not None or (launched() and os.path.exists(self.config_path)),
                   what="nivu to launch")
        if nivu.poll() is not None:
            raise AssertionError(f"nivu exited with {nivu.returncode}: {nivu.errors.lines}")
        self.write_config(config)
        return nivu

    def write_config(self, document):
        os.makedirs(os.path.dirname(self.config_path), exist_ok=True)
        with open(self.config_path, "w", encoding="utf-8") as file:
            file.write(document)

    def stored(self, bundle):
        try:
            document = json.loads(read_bytes(self.config_path).decode("utf-8"))
        except (OSError, ValueError):
            return {}
        return (document.get("rememberedSizes") or {}).get(bundle) or {}

    def stored_size(self, bundle):
        return self.stored(bundle).get("_default")

    def start_session_bus(self):
        require("dbus-daemon")
        address, pid = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                                      env=self.env, check=True, capture_output=True, text=True).stdout.split()
        self.bus_pid = int(pid)
        self.env.update(DBUS_SESSION_BUS_ADDRESS=address, NO_AT_BRIDGE="1")

    def own_settings(self):
        """The environment of a program that keeps its own last size, started afresh so that
        only nivu has one."""
        fresh = tempfile.mkdtemp(dir=self.home)
        return {"GSETTINGS_BACKEND": "memory",
                **{f"XDG_{kind}_HOME": os.path.join(fresh, kind) for kind in ("CONFIG", "DATA", "STATE")}}


class Desktop(Session):
    def __init__(self, window_manager="openbox", tray=False, screen="1600x1000x24", monitors=(), resources=None):
        """window_manager: a name in WINDOW_MANAGERS, or None; monitors: RandR monitors as
        WIDTHxHEIGHT+X+Y; resources: X resources such as Xft.dpi."""
        self.window_manager, self.tray, self.screen = window_manager, tray, screen
        self.monitors, self.resources, self.x = monitors, resources, None

    def __enter__(self):
        for tool in ("Xvfb", "xdotool", "xterm"):
            require(tool)
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten",
                                      "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            if not (number := pipe.readline().decode().strip()):
                raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.make_home(DISPLAY=self.display)
        self.x = xdisplay.Display(self.display)
        self.x.set_error_handler(lambda *args: None)
        self.root = self.x.screen().root
        subprocess.run(["xsetroot", "-solid", "#6b7d8f"], env=self.env)  # grey: dark windows show in screenshots
        # The harness's connection stays open, so the server keeps these until the end.
        for index, monitor in enumerate(self.monitors):
            size, x, y = monitor.replace("+", " ").split()
            width, height = size.split("x")
            subprocess.run(["xrandr", "--setmonitor", f"M{index}", f"{width}/300x{height}/200+{x}+{y}",
                            "screen" if index == 0 else "none"], env=self.env, check=True, stdout=subprocess.DEVNULL)
        if self.resources:
            subprocess.run(["xrdb", "-nocpp", "-merge"], input=self.resources.encode(), env=self.env, check=True)
        if self.window_manager:
            self.start_window_manager(self.window_manager)
        if self.tray:
            self.start_tray()
        return self

    def __exit__(self, *exc):
        try:
            self.x.close()
        except Exception:  # the X server may be gone already (a test killed it)
            pass
        self.processes.insert(0, self.xvfb)  # ended last
        self.clean_up()

    def start_nivu(self, config=TRACK_XTERM, env=None):
        """Starts nivu and waits until it holds the display (see launch_nivu)."""
        earlier = self.selection_owner("_NIVU_RUNNING")  # a nivu just ended may still own it
        return self.launch_nivu(lambda: self.selection_owner("_NIVU_RUNNING") not in (0, earlier), config, env)

    def start_window_manager(self, name="openbox"):
        # A window manager that starts on a running session takes over the windows, unmapping
        # each into a frame of its own: a click at that moment hits nothing. Ready means the
        # manager names itself and every window is framed and viewable again.
        command, files, *environment = WINDOW_MANAGERS[name]
        require(command[0])
        for path, text in files.items():
            os.makedirs(os.path.dirname(path := os.path.join(self.home, path)), exist_ok=True)
            with open(path, "w") as file:
                file.write(text)
            os.chmod(path, 0o755)  # an autostart script runs
        if command[0] == "xfwm4" and not self.bus_pid:
            self.start_session_bus()
        unframed = [w for w in self.root.query_tree().children if self.viewable(w, managed=True)]
        self.wm = self.spawn([part.format(home=self.home) for part in command], env=(environment or [{}])[0])
        wait_until(self.ewmh_ready, what=f"{name} to manage the screen")
        wait_until(lambda: all(self.framed(w) for w in unframed), what="running windows framed")
        # openbox names itself before it takes map requests, and drops the ones that come in
        # between: ready means that a new window is managed.
        wait_until(self.manages_a_new_window, what=f"{name} to take new windows")

    def manages_a_new_window(self):
        probe = self.root.create_window(0, 0, 16, 16, 0, X.CopyFromParent)
        probe.set_wm_class("probe", "NivuHarnessProbe")
        probe.map()
        self.x.sync()
        deadline = time.monotonic() + 0.5
        while not (managed := probe.id in self.client_windows()) and time.monotonic() < deadline:
            time.sleep(0.01)
        probe.destroy()
        self.x.sync()
        return managed

    def viewable(self, window, managed=False):
        try:
            attributes = window.get_attributes()
            return attributes.map_state == X.IsViewable and not (
                managed and (attributes.override_redirect or window.get_wm_class() is None))
        except xerror.XError:
            return False

    def framed(self, window):
        """Reparented by the window manager and viewable again, or gone."""
        try:
            return window.query_tree().parent.id != self.root.id and self.viewable(window)
        except xerror.XError:
            return True

    def ewmh_ready(self):
        """The check window exists and names itself (a killed manager leaves the root's
        property behind)."""
        check = self.property(self.root.id, "_NET_SUPPORTING_WM_CHECK")
        return bool(check) and (self.property(check[0], "_NET_SUPPORTING_WM_CHECK") or [])[:1] == check[:1]

    def start_tray(self):
        require("trayer")
        self.tray_host = self.spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                                     "120", "--height", "24", "--SetDockType", "true"])
        wait_until(lambda: self.selection_owner("_NET_SYSTEM_TRAY_S0"), what="the tray host")

    # X queries and input -------------------------------------------------------------------

    def atom(self, name):
        return self.x.intern_atom(name)

    def window(self, wid):
        return self.x.create_resource_object("window", wid)

    def property(self, wid, name):
        """A property's values (32-bit ones as a list, others as bytes), or None where the
        window is gone."""
        try:
            value = self.window(wid).get_full_property(self.atom(name), X.AnyPropertyType)
        except xerror.XError:
            return None
        return list(value.value) if value and value.format == 32 else (value.value if value else [])

    def selection_owner(self, name):
        owner = self.x.get_selection_owner(self.atom(name))
        return owner.id if owner and owner != X.NONE else 0

    def client_windows(self):
        return self.property(self.root.id, "_NET_CLIENT_LIST")

    def active_window(self):
        return (self.property(self.root.id, "_NET_ACTIVE_WINDOW") or [0])[0]

    def windows_named(self, name):
        return [w for w in self.client_windows() if self.property(w, "_NET_WM_NAME") == name.encode()]

    def geometry(self, wid):
        """Content size and root position of a client window."""
        window = self.window(wid)
        g, origin = window.get_geometry(), window.translate_coords(self.root, 0, 0)
        return {"width": g.width, "height": g.height, "x": -origin.x, "y": -origin.y}

    def size(self, wid):
        g = self.window(wid).get_geometry()
        return g.width, g.height

    def visible_size(self, wid):
        """The size the user sees: the client less the shadow that client-side decorations draw."""
        left, right, top, bottom = self.property(wid, "_GTK_FRAME_EXTENTS") or [0, 0, 0, 0]
        width, height = self.size(wid)
        return width - left - right, height - top - bottom

    def decorated(self, wid):
        """The window as its user sees it on the root: the client with the decorations that the
        manager says it adds (_NET_FRAME_EXTENTS; muffin's and marco's frames also hold
        invisible borders to grab), or its whole frame where the manager says nothing."""
        extents = self.property(wid, "_NET_FRAME_EXTENTS")
        if not extents or len(extents) != 4:
            return self.frame(wid)
        g = self.geometry(wid)
        left, right, top, bottom = extents
        return {"x": g["x"] - left, "y": g["y"] - top, "width": g["width"] + left + right,
                "height": g["height"] + top + bottom}

    def frame(self, wid):
        """The root rectangle of the window's outermost frame (the client itself when unframed)."""
        window = self.window(wid)
        while (parent := window.query_tree().parent).id != self.root.id:
            window = parent
        g = window.get_geometry()
        return {"x": g.x, "y": g.y, "width": g.width + 2 * g.border_width, "height": g.height + 2 * g.border_width}

    def new_client(self, start, what="a new client window", timeout=10.0):
        """Runs start() and returns the client window that it made (not one of nivu's: a tray
        in a panel lists the icon it embeds)."""
        before = set(self.client_windows())
        start()
        return wait_until(lambda: next((w for w in self.client_windows() if w not in before and (
            self.property(w, "WM_CLASS") or b"").split(b"\0")[0] != b"nivu"), None), timeout, what)

    def settle(self, wid):
        settle(lambda: self.size(wid), f"window {wid:#x}")

    def start_xterm(self, x=120, y=120):
        """Starts an xterm and returns its window, active."""
        xterm = self.new_client(lambda: self.spawn(["xterm", "-geometry", f"80x24+{x}+{y}"]), "an xterm")
        self.activate(xterm)
        return xterm

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def keys(self, *names):
        for name in names:
            self.xdotool("key", name)

    def activate(self, wid):
        self.xdotool("windowactivate", "--sync", wid)
        wait_until(lambda: self.active_window() == wid, what=f"window {wid:#x} to become active")

    def maximized(self, wid):
        return self.atom("_NET_WM_STATE_MAXIMIZED_VERT") in (self.property(wid, "_NET_WM_STATE") or [])

    def maximize(self, wid):
        """Asks the window manager to maximize the window, as its title bar's button does."""
        states = [self.atom(f"_NET_WM_STATE_MAXIMIZED_{way}") for way in ("VERT", "HORZ")]
        self.root.send_event(event.ClientMessage(window=self.window(wid), client_type=self.atom("_NET_WM_STATE"),
                                                 data=(32, [1, *states, 1, 0])),
                             event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.x.sync()
        wait_until(lambda: self.maximized(wid), what=f"window {wid:#x} maximized")

    def pointer(self):
        reply = self.root.query_pointer()
        return reply.root_x, reply.root_y

    def drag(self, wid, dx, dy, steps, on_step=None):
        """Drags the window's bottom-right corner with XTEST, as a hand does: onto the corner of
        its frame, or just outside the visible corner of a window that draws its own, press,
        steps moves of (dx, dy) at a mouse's pace, release. The hand waits for what the server and
        the window manager must have seen (see press_to_resize), and the drag ends once the
        manager has let the pointer go, so the window's size is then its last. on_step(step)
        runs after each step (the first ones again after a press the manager let go by)."""
        f = self.frame(wid)
        shadow = self.property(wid, "_GTK_FRAME_EXTENTS")
        right, bottom = (shadow[1] - 4, shadow[3] - 4) if shadow else (2, 2)
        gesture, modifier, button = RESIZE_GESTURES.get(self.window_manager), None, 1
        if gesture == "outside":
            right, bottom = -3, -3
        elif gesture:  # the modifier and the right button, inside the window near its corner
            modifier, button = gesture, 3
            right, bottom = right + 20, bottom + 20
        start = (f["x"] + f["width"] - right, f["y"] + f["height"] - bottom)
        first_steps, deadline = min(steps, 3), time.monotonic() + 60
        while not self.press_to_resize(wid, start, modifier, button, (dx, dy), first_steps, on_step):
            self.release(button, modifier)
            if time.monotonic() > deadline:
                raise AssertionError(f"{self.window_manager} never began to resize window {wid:#x} in 60 s")
        for step in range(first_steps, steps):
            self.step(dx, dy)
            if on_step:
                on_step(step)
        self.release(button, modifier)

    def press_to_resize(self, wid, start, modifier, button, step, steps, on_step):
        """Presses at start, the modifier held, and makes the first steps; whether the window
        manager then resizes the window. The hand waits for facts, not for time: the server has
        the pointer and the modifier before the press, and the press before the first step. A
        manager that draws the screen itself (muffin, mutter) finds the window under a press in
        its scene graph, which while it is starved of CPU it may not yet have updated for a
        window just mapped: it lets that press go by (its log says "Syncing events" and no
        more). A user presses again, and so does the hand, until the manager takes it. A new
        press comes after 10 s."""
        size, keycode = self.size(wid), modifier and self.x.keysym_to_keycode(XK.string_to_keysym(modifier))
        if keycode:
            xtest.fake_input(self.x, X.KeyPress, keycode)
        xtest.fake_input(self.x, X.MotionNotify, x=start[0], y=start[1])
        self.x.sync()
        mask = MODIFIER_MASKS.get(modifier, 0)
        wait_until(lambda: (p := self.root.query_pointer()) and (p.root_x, p.root_y) == start and p.mask & mask == mask,
                   what=f"the pointer at {start}, {modifier or 'no modifier'} down")
        xtest.fake_input(self.x, X.ButtonPress, button)
        self.x.sync()
        wait_until(lambda: self.root.query_pointer().mask & BUTTON_MASKS[button], what=f"button {button} down")
        for index in range(steps):
            self.step(*step)
            if on_step:
                on_step(index)
        if self.window_manager in OUTLINE_RESIZES:
            return True  # the size changes only at the release
        # A program that draws its own edges (GTK 4) takes the press and the first steps itself
        # and only then hands the drag to the manager, which resizes at the pointer's next move:
        # the hand, still pressing, moves a step on and back until the window follows.
        deadline, back = time.monotonic() + 10, 1
        while self.size(wid) == size:
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)
            self.step(step[0] * back, step[1] * back)
            back = -back
            if on_step:  # the pointer was there: a badge may show beside it
                on_step(steps - 1)
        return True

    def step(self, dx, dy):
        """Moves the pointer by (dx, dy), and returns once the server has it moved. A sync does
        not say so: right after the press that starts a resize, the grab it began may hold the
        pointer's events back until the manager allows them (herbstluftwm on a busy machine:
        in one drag of three, with or without Nivu, the server still had the pointer where it
        was 20 to 48 ms after the first step's sync). Moved is the fact, not the place: a
        manager may warp the pointer onto the corner it resizes by."""
        time.sleep(0.005)  # a mouse's pace; nothing waits for it
        before = self.pointer()
        xtest.fake_input(self.x, X.MotionNotify, detail=1, x=dx, y=dy)
        self.x.sync()
        wait_until(lambda: self.pointer() != before, what=f"the pointer to move by ({dx}, {dy}) from {before}")

    def release(self, button, modifier):
        """Lets go, and waits until the window manager has too: once it ungrabs the pointer it
        has handled every step before, and the sizes it asked for are the server's."""
        xtest.fake_input(self.x, X.ButtonRelease, button)
        if modifier:
            xtest.fake_input(self.x, X.KeyRelease, self.x.keysym_to_keycode(XK.string_to_keysym(modifier)))
        self.x.sync()
        wait_until(lambda: not self.root.query_pointer().mask & BUTTON_MASKS[button], what=f"button {button} up")
        wait_until(self.pointer_free, what="the window manager to let the pointer go")

    def pointer_free(self):
        """Whether no client holds the pointer: a grab of the harness's own succeeds (and ends at
        once)."""
        status = self.root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync, X.NONE, X.NONE, X.CurrentTime)
        if status == X.GrabSuccess:
            self.x.ungrab_pointer(X.CurrentTime)
            self.x.sync()
        return status == X.GrabSuccess

    def make_window(self, wm_class, role=None, pid=None, shadow=None, states=(), transient_for=None, window_type=None):
        """A window of the test's own with the properties given. shadow: _GTK_FRAME_EXTENTS (left,
        right, top, bottom); states: the _NET_WM_STATE it opens in; transient_for: the window it
        is a dialog of; window_type: its _NET_WM_WINDOW_TYPE."""
        window = self.root.create_window(80, 80, 300, 200, 0, self.x.screen().root_depth,
                                         background_pixel=self.x.screen().white_pixel)
        window.change_property(Xatom.WM_CLASS, Xatom.STRING, 8, wm_class[:65536])
        if transient_for:
            window.set_wm_transient_for(transient_for)
        if window_type:
            window.change_property(self.atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32, [self.atom(window_type)])
        if role is not None:  # long values go in pieces: one request carries at most 256 KiB
            for start in range(0, max(len(role), 1), 65536):
                window.change_property(self.atom("WM_WINDOW_ROLE"), Xatom.STRING, 8, role[start:start + 65536],
                                       mode=X.PropModeAppend)
        window.change_property(self.atom("_NET_WM_PID"), Xatom.CARDINAL, 32, [os.getpid() if pid is None else pid])
        if shadow:
            window.change_property(self.atom("_GTK_FRAME_EXTENTS"), Xatom.CARDINAL, 32, shadow)
        if states:
            window.change_property(self.atom("_NET_WM_STATE"), Xatom.ATOM, 32, [self.atom(state) for state in states])
        window.map()
        self.x.sync()
        return window

    # nivu's own windows --------------------------------------------------------------------

    def popups(self, min_height=0):
        """Nivu's mapped override-redirect windows (badge and menus), taller than min_height."""
        found = []
        for child in self.root.query_tree().children:
            try:
                attributes, g = child.get_attributes(), child.get_geometry()
                if (attributes.map_state == X.IsViewable and attributes.override_redirect
                        and (child.get_wm_class() or ("",))[0] == "nivu" and g.height > min_height):
                    found.append({"id": child.id, "x": g.x, "y": g.y, "width": g.width, "height": g.height})
            except xerror.XError:
                continue
        return found

    def badges(self):
        return [p for p in self.popups() if (p["width"], p["height"]) == (120, 28)]

    def popup_open(self, popup):
        return any(p["id"] == popup["id"] for p in self.popups())

    def wait_closed(self, popup):
        wait_until(lambda: not self.popup_open(popup), what="the menu to close")

    def tray_icon(self, name="nivu"):
        """The small icon window of the program (by WM_CLASS instance) inside the tray host's
        window, or None."""
        def search(window, in_tray):
            try:
                children = window.query_tree().children
            except xerror.XError:
                return None
            for child in children:
                try:
                    wm_class, g = child.get_wm_class() or ("",), child.get_geometry()
                    if in_tray and wm_class[0] == name and g.width <= 48 and g.height <= 48 and self.viewable(child):
                        return child
                except xerror.XError:
                    continue
                if found := search(child, in_tray or wm_class == ("panel", "trayer")):
                    return found
            return None
        return search(self.root, False)

    def open_status_menu(self):
        """Clicks the tray icon where it is now (a new tray host may place it elsewhere) and
        returns the status menu."""
        g = self.geometry(wait_until(self.tray_icon, what="the tray icon").id)
        x, y = g["x"] + g["width"] // 2, g["y"] + g["height"] // 2
        self.xdotool("mousemove", x - 150, y + 250)  # come from elsewhere, as a hand does
        self.xdotool("mousemove", x, y)
        self.xdotool("click", 1)
        return wait_until(lambda: self.popups(40), what="the status menu")[0]

    def screenshot(self, name):
        """Saves the whole screen as NAME.png in $NIVU_SCREENSHOT_DIR, when that is set."""
        if folder := os.environ.get("NIVU_SCREENSHOT_DIR"):
            os.makedirs(folder, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")], env=self.env, check=True)


class DesktopTestCase(unittest.TestCase):
    """One private desktop per test."""

    window_manager, tray, screen = "openbox", False, "1600x1000x24"

    def setUp(self):
        self.desktop = Desktop(self.window_manager, self.tray, self.screen).__enter__()
        self.addCleanup(self.desktop.__exit__, None, None, None)


KEY_ALT, KEY_META, KEY_R, KEY_DOWN, KEY_ENTER = 56, 125, 19, 108, 28  # Linux key codes, for KWin's fake input


class WaylandSession(Session):
    """What the sessions of KWin and GNOME Shell share. Their windows(): dicts of id, app, title,
    pid, the frame (x, y, w, h), focus, and kept (what Nivu asks for its own windows: above the
    rest, and on KWin out of the task bar, switchers and pager, and without a closing effect)."""

    def frame(self, window):
        return next((w for w in self.windows() if w["id"] == window), None)

    def size(self, window):
        return (frame := self.frame(window)) and (frame["w"], frame["h"])

    def titled(self, title):
        return [w for w in self.windows() if w["title"] == title]

    def menus(self):
        """Nivu's preset menus: where they are and whether they have the keyboard."""
        return [(m["x"], m["y"], m["focus"]) for m in self.titled("Nivu presets")]

    def start_program(self, command):
        """Starts a program; returns the process and its window's id once that keeps its place and
        size (a compositor may place a new window once it knows its size)."""
        process = self.spawn(command, env=self.own_settings())
        window = wait_until(lambda: [w["id"] for w in self.windows() if w["pid"] == process.pid], timeout=30,
                            what=f"a window of {command[0]}")[0]
        settle(lambda: (f := self.frame(window)) and (f["x"], f["y"], f["w"], f["h"]), command[0])
        return process, window

    def start_growing_window(self):
        """A program whose window resizes itself while told to: grower.tell("grow") and
        grower.tell("stop"). Returns it and its window's id, once the window is listed."""
        grower = self.spawn([binary("growing-window")], env=self.own_settings(), stdin=subprocess.PIPE)

        def tell(line):
            grower.stdin.write(f"{line}\n".encode())
            grower.stdin.flush()
        grower.tell = tell
        window = wait_until(lambda: [w["id"] for w in self.windows() if w["pid"] == grower.pid], timeout=30,
                            what="the growing window")[0]
        return grower, window

    def badge_hides_and_shows_again(self, grower):
        """Has a growing window stop, grow again and stop: Nivu's badge hides, shows again (a new
        window to the compositor) and hides."""
        for tell, shown, what in (("stop", False, "the badge to hide"), ("grow", True, "the badge again"),
                                  ("stop", False, "the badge to hide again")):
            grower.tell(tell)
            wait_until(lambda: bool(self.badges()) == shown, what=what)


class KWinSession(WaylandSession):
    """Plasma's compositor, headless, on a private session bus and a Wayland socket of its own.
    It runs from a copy of kwin_wayland without the file capabilities, which a sandbox may
    refuse. Programs started here are Wayland clients. monitors: side by side, 2560 wide in all.
    wrapped: as Plasma runs it, under kwin_wayland_wrapper, which holds the socket and starts
    KWin again where it ends; Plasma also tells Qt programs to connect again then
    (QT_WAYLAND_RECONNECT)."""

    def __init__(self, wrapped=False, monitors=1):
        self.wrapped, self.monitors = wrapped, monitors

    def __enter__(self):
        for tool in ("kwin_wayland", "dbus-send") + (("kwin_wayland_wrapper",) if self.wrapped else ()):
            require(tool)
        self.make_home(XDG_CURRENT_DESKTOP="KDE", QT_QPA_PLATFORM="wayland", GDK_BACKEND="wayland")
        os.makedirs(config := self.env["XDG_CONFIG_HOME"])
        with open(os.path.join(config, "kwinrc"), "w") as file:  # Plasma's own title bars
            file.write("[org.kde.kdecoration2]\nlibrary=org.kde.breeze\ntheme=Breeze\n")
        self.scripts = 0
        try:
            self.start_session_bus()
            os.makedirs(programs := os.path.join(self.home, "bin"))
            shutil.copy(shutil.which("kwin_wayland"), programs)
            # The test's hands: KWin's fake input, which it offers to any client with this set.
            # One monitor 2560 wide, or that width shared by monitors side by side.
            options = ["--virtual", "--no-lockscreen", "--width", str(2560 // self.monitors), "--height", "1440",
                       "--output-count", str(self.monitors)]
            if self.wrapped:  # the wrapper starts kwin_wayland from the PATH and names the socket
                self.env["PATH"] = programs + os.pathsep + self.env["PATH"]
                self.env["QT_WAYLAND_RECONNECT"] = "1"
                command = ["kwin_wayland_wrapper", *options]
            else:
                command = [os.path.join(programs, "kwin_wayland"), *options, "--socket", "nivu-test"]
            self.kwin = self.spawn(command, capture=True, env={"KWIN_WAYLAND_NO_PERMISSION_CHECKS": "1"})
            self.kwin.output, self.kwin.errors = LineReader(self.kwin.stdout), LineReader(self.kwin.stderr)
            wait_until(lambda: self.kwin.poll() is not None or self.bus_name_owned("org.kde.KWin"), timeout=30,
                       what="kwin_wayland on the session bus")
            if self.kwin.poll() is not None:
                raise RuntimeError(f"kwin_wayland could not start: {self.kwin.errors.lines[-10:]}")
            # Inside this session's own runtime folder.
            self.env["WAYLAND_DISPLAY"] = self.socket() if self.wrapped else "nivu-test"
            self.hands = self.spawn([binary("fake-input")], capture=True, stdin=subprocess.PIPE)
        except BaseException:
            self.clean_up()
            raise
        return self

    def socket(self):
        runtime = self.env["XDG_RUNTIME_DIR"]
        return next(name for name in sorted(os.listdir(runtime))
                    if name.startswith("wayland-") and not name.endswith(".lock"))

    def compositor(self):
        """The process id of the running kwin_wayland: the wrapper's child where wrapped."""
        if not self.wrapped:
            return self.kwin.pid
        with open(f"/proc/{self.kwin.pid}/task/{self.kwin.pid}/children") as file:
            children = [int(pid) for pid in file.read().split()]
        return children[0] if children else None

    def crash_kwin(self):
        """Ends KWin as a crash would; the wrapper starts it again, and the test waits until the
        new one is on the bus with its scripting."""
        before = self.compositor()
        os.kill(before, signal.SIGKILL)
        wait_until(lambda: (now := self.compositor()) and now != before and self.bus_call(
            "org.kde.KWin", "/Scripting", "org.freedesktop.DBus.Peer.Ping") is not None, timeout=30,
            what="KWin started again by its wrapper")
        self.end(self.hands)  # a Wayland client of the KWin that ended
        self.hands = self.spawn([binary("fake-input")], capture=True, stdin=subprocess.PIPE)

    def clean_up(self):
        inner = self.wrapped and getattr(self, "kwin", None) and self.kwin.poll() is None and self.compositor()
        super().clean_up()
        if inner:  # the wrapper ends its KWin; where it did not, the test does
            try:
                os.kill(inner, signal.SIGKILL)
            except ProcessLookupError:
                pass

    def bus_call(self, destination, path, method, *arguments):
        result = subprocess.run(["dbus-send", "--session", "--print-reply", f"--dest={destination}", path, method,
                                 *arguments], env=self.env, capture_output=True, text=True)
        return result.stdout if result.returncode == 0 else None

    def bus_name_owned(self, name):
        return "true" in (self.bus_call("org.freedesktop.DBus", "/", "org.freedesktop.DBus.NameHasOwner",
                                        f"string:{name}") or "")

    def script_loaded(self, name):
        return "true" in (self.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.isScriptLoaded",
                                        f"string:{name}") or "")

    def start_nivu(self, config=TRACK_XTERM):
        """Starts nivu and waits until its script runs inside KWin (see launch_nivu)."""
        return self.launch_nivu(lambda: self.bus_name_owned("org.nivu.Nivu") and self.script_loaded("nivu"), config)

    def run_script(self, body):
        """Runs JavaScript inside KWin, as a KWin script; returns what it passed to say()."""
        self.scripts += 1
        name = f"nivu-test-{self.scripts}"
        with open(path := os.path.join(self.home, name + ".js"), "w") as file:
            file.write(f'function say(x) {{ print("{name} " + JSON.stringify(x)); }}\n{body}\nprint("{name} end");\n')
        self.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.loadScript", f"string:{path}",
                      f"string:{name}")
        self.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.start")
        self.kwin.errors.wait_for(lambda line: line == f"js: {name} end", what=f"KWin to run {name}")
        self.bus_call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.unloadScript", f"string:{name}")
        prefix = f"js: {name} "
        return [json.loads(line[len(prefix):]) for line in self.kwin.errors.matching(
            lambda line: line.startswith(prefix) and line != f"js: {name} end")]

    def windows(self):
        return self.run_script('(workspace.windowList ? workspace.windowList() : workspace.clientList()).forEach('
                               'function (w) { var g = w.frameGeometry; say({id: String(w.internalId), '
                               'app: String(w.resourceClass), title: w.caption, pid: w.pid, x: g.x, y: g.y, '
                               'w: g.width, h: g.height, focus: w.active, resizing: w.resize, kept: w.keepAbove && '
                               'w.skipTaskbar && w.skipSwitcher && w.skipPager && w.skipsCloseAnimation, '
                               'bw: w.bufferGeometry.width, bh: w.bufferGeometry.height}); });')

    def shown_size(self, window):
        """The size the program shows: inside the title bar and borders where KWin draws them
        (its buffer lies inside the frame), else the frame, without the shadow a program that
        draws its own edges has in its buffer."""
        f = self.frame(window)
        return f and ((f["bw"], f["bh"]) if f["bw"] <= f["w"] and f["bh"] <= f["h"] else (f["w"], f["h"]))

    def buffer_size(self, window):
        """The size of what the program draws: inside KWin's title bar and borders, or, for a
        program that draws its own, with its shadow."""
        return (frame := self.frame(window)) and (frame["bw"], frame["bh"])

    def last_size(self, window):
        """KWin forgets a window as it closes."""
        return None

    def badges(self):
        return self.titled("Nivu size")

    def pointer(self):
        at = self.run_script("say(workspace.cursorPos);")[0]
        return at["x"], at["y"]

    def move(self, x, y):
        """Moves the pointer there, again where KWin held it back at the edge between two
        monitors (Plasma 6's edge barrier keeps it 100 px short there)."""
        for _ in range(3):
            self.press("move", x, y)
            if self.pointer() == (x, y):
                return
        raise AssertionError(f"the pointer not at {x}, {y} but at {self.pointer()}")

    def place_window(self, window, x, y):
        """Moves the window's frame there, as a drag of its title bar would."""
        self.run_script('(workspace.windowList ? workspace.windowList() : workspace.clientList()).forEach('
                        f'function (w) {{ if (String(w.internalId) === "{window}") w.frameGeometry = '
                        f'{{x: {x}, y: {y}, width: w.frameGeometry.width, height: w.frameGeometry.height}}; }});')
        wait_until(lambda: (f := self.frame(window)) and (f["x"], f["y"]) == (x, y), what=f"window {window} at {x}, {y}")

    def press_hot_key(self):
        self.type(KEY_ALT, KEY_META, KEY_R)

    def choose_preset(self, index):
        """Chooses the entry of the open preset menu by the keyboard."""
        for _ in range(index + 1):
            self.type(KEY_DOWN)
        self.type(KEY_ENTER)

    def running_on(self):
        return self.kwin.poll() is None and self.script_loaded("nivu")

    def press(self, *command):
        """Moves the pointer ("move", x, y), presses or releases a button ("down" or "up", then
        "left" or "right") or a key ("press" or "release", then its Linux key code), and waits
        until KWin has it."""
        self.hands.stdin.write((" ".join(str(part) for part in command) + "\n").encode())
        self.hands.stdin.flush()
        if self.hands.stdout.readline().strip() != b"ok":
            raise AssertionError(f"fake input failed: {self.hands.stderr.read1().decode()}")

    def type(self, *keys):
        """Presses the keys (Linux key codes) one after the other and lets them go in reverse."""
        for key in keys:
            self.press("press", key)
        for key in reversed(keys):
            self.press("release", key)

    def resize_by_hand(self, window, start, end, steps, on_step=None, button="left", holding=None):
        """Drags from start to end in steps, as a hand does, with a button and perhaps a key
        held (Plasma resizes any window with Meta and the right button). The pointer comes from
        inside the window. A program that draws its own edges asks KWin to resize only once the
        pointer has moved a little: the hand waits for that before it goes on."""
        resizing = lambda: self.frame(window)["resizing"]  # noqa: E731
        self.press("move", start[0] - 30, start[1] - 30)
        self.press("move", *start)
        if holding:
            self.press("press", holding)
        self.press("down", button)
        for nudge in range(1, 6):
            self.press("move", start[0] + nudge, start[1] + nudge)
            if resizing():
                break
        try:
            wait_until(resizing, timeout=2, what="KWin to start resizing the window")
            for step in range(1, steps + 1):
                self.press("move", start[0] + (end[0] - start[0]) * step / steps,
                           start[1] + (end[1] - start[1]) * step / steps)
                if on_step:
                    on_step(step)
        finally:  # a button or key left pressed would swallow every later press of the test
            self.press("up", button)
            if holding:
                self.press("release", holding)
