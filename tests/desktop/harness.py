"""A private X desktop for tests: Xvfb on a display of its own, openbox, an optional tray host,
a temporary HOME, and the processes a test starts, each ended by its own id."""

import json
import os
import queue
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

from Xlib import X, Xatom
from Xlib import display as xdisplay
from Xlib import error as xerror

REPO_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.environ.get("NIVU_BUILD_DIR", os.path.join(REPO_DIR, "build"))


def binary(name):
    for folder in ("src", "tests"):
        path = os.path.join(BUILD_DIR, folder, name)
        if os.path.exists(path):
            return path
    raise FileNotFoundError(f"{name} is not built in {BUILD_DIR}")


def require(tool):
    """A desktop test that cannot do its job fails loudly; it never skips."""
    path = shutil.which(tool)
    if not path:
        raise RuntimeError(f"{tool} is missing: run scripts/install-deps")
    return path


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def wait_until(predicate, timeout=10.0, what="condition", interval=0.02):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def holds_for(predicate, duration, what="condition", interval=0.02):
    """Checks that predicate stays true for duration seconds; fails the moment it does not."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not predicate():
            raise AssertionError(f"{what}: no longer true")
        time.sleep(interval)


class LineReader:
    """Collects a process's output lines on a thread; tests wait for lines that match."""

    def __init__(self, stream, parse_json=False):
        self.lines = queue.Queue()
        self.seen = []
        self.parse_json = parse_json
        self.thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self.thread.start()

    def _read(self, stream):
        for raw in iter(stream.readline, b""):
            text = raw.decode("utf-8", "replace").rstrip("\n")
            self.lines.put(json.loads(text) if self.parse_json else text)

    def drain(self):
        while True:
            try:
                self.seen.append(self.lines.get_nowait())
            except queue.Empty:
                return self.seen

    def wait_for(self, predicate, timeout=10.0, what="a line"):
        start = len(self.seen)
        deadline = time.monotonic() + timeout
        index = start
        while True:
            self.drain()
            while index < len(self.seen):
                if predicate(self.seen[index]):
                    return self.seen[index]
                index += 1
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"timed out waiting for {what}; saw {self.seen[start:]}")
            try:
                self.seen.append(self.lines.get(timeout=min(remaining, 0.1)))
            except queue.Empty:
                pass

    def matching(self, predicate):
        return [line for line in self.drain() if predicate(line)]


class Desktop:
    def __init__(self, window_manager=True, tray=False, screen="1600x1000x24"):
        self.window_manager = window_manager
        self.tray = tray
        self.screen = screen
        self.processes = []
        self.x = None

    def __enter__(self):
        for tool in ("Xvfb", "openbox", "xdotool", "xterm"):
            require(tool)
        self.home = tempfile.mkdtemp(prefix="nivu-desktop-")
        self.runtime = os.path.join(self.home, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display, HOME=self.home,
                        XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                        LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.x = xdisplay.Display(self.display)
        self.x.set_error_handler(lambda *args: None)
        self.root = self.x.screen().root
        # A mid-grey desktop, so that screenshots show dark windows' shapes.
        subprocess.run(["xsetroot", "-solid", "#6b7d8f"], env=self.env, check=False)
        if self.window_manager:
            self.start_window_manager()
        if self.tray:
            self.start_tray()
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            self.end(process)
        if self.x:
            try:
                self.x.close()
            except Exception:  # the X server may be gone already (a test killed it)
                pass
        self.xvfb.terminate()
        try:
            self.xvfb.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.xvfb.kill()
            self.xvfb.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    # processes -----------------------------------------------------------------------------

    def spawn(self, args, capture=False, env=None, **kwargs):
        process = subprocess.Popen(
            args, env=env or self.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
            stderr=subprocess.PIPE if capture else subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def end(self, process, sig=signal.SIGTERM, timeout=5):
        if process.poll() is None:
            process.send_signal(sig)
            try:
                process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        for stream in (process.stdout, process.stderr):
            if stream:
                stream.close()
        return process.returncode

    def start_window_manager(self):
        # A window manager that starts on a running session announces itself first and then
        # takes over the windows, unmapping each into a frame of its own: a click at that moment
        # hits nothing. Ready means every window is framed and viewable again.
        unframed = [w for w in self.root.query_tree().children if self.plain_viewable(w)]
        self.wm = self.spawn(["openbox", "--sm-disable"])
        wait_until(self.ewmh_ready, what="openbox to manage the screen")
        wait_until(lambda: all(self.framed(w) for w in unframed),
                   what="openbox to take over the running windows")

    def plain_viewable(self, window):
        try:
            attributes = window.get_attributes()
            return (attributes.map_state == X.IsViewable and not attributes.override_redirect
                    and window.get_wm_class() is not None)
        except xerror.XError:
            return False

    def framed(self, window):
        """Reparented by the window manager and viewable again, or gone."""
        try:
            return (window.query_tree().parent.id != self.root.id
                    and window.get_attributes().map_state == X.IsViewable)
        except xerror.XError:
            return True

    def ewmh_ready(self):
        """A window manager runs: the check window exists and names itself (a killed one
        leaves the root's property behind)."""
        check = self.root_property("_NET_SUPPORTING_WM_CHECK")
        if not check:
            return False
        try:
            value = self.window(check[0]).get_full_property(self.atom("_NET_SUPPORTING_WM_CHECK"),
                                                            X.AnyPropertyType)
        except xerror.XError:
            return False
        return bool(value) and list(value.value)[:1] == check[:1]

    def start_tray(self):
        require("trayer")
        self.tray_host = self.spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                     "pixel", "--width", "120", "--height", "24", "--SetDockType", "true"])
        wait_until(lambda: self.selection_owner("_NET_SYSTEM_TRAY_S0"), what="the tray host")

    # X queries -----------------------------------------------------------------------------

    def atom(self, name):
        return self.x.intern_atom(name)

    def root_property(self, name):
        value = self.root.get_full_property(self.atom(name), X.AnyPropertyType)
        return list(value.value) if value else []

    def selection_owner(self, name):
        """The id of the selection's owner window, or 0."""
        owner = self.x.get_selection_owner(self.atom(name))
        return owner.id if owner and owner != X.NONE else 0

    def client_windows(self):
        return self.root_property("_NET_CLIENT_LIST")

    def active_window(self):
        windows = self.root_property("_NET_ACTIVE_WINDOW")
        return windows[0] if windows else 0

    def window(self, wid):
        return self.x.create_resource_object("window", wid)

    def wm_class(self, wid):
        try:
            return self.window(wid).get_wm_class()
        except xerror.XError:
            return None

    def geometry(self, wid):
        """Content size and root position of a client window."""
        window = self.window(wid)
        geometry = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return {"width": geometry.width, "height": geometry.height, "x": -origin.x, "y": -origin.y}

    def text_property(self, wid, name):
        try:
            value = self.window(wid).get_full_property(self.atom(name), X.AnyPropertyType)
        except xerror.XError:
            return None
        return value.value if value else None

    def frame_extents(self, wid):
        value = self.window(wid).get_full_property(self.atom("_NET_FRAME_EXTENTS"), X.AnyPropertyType)
        return list(value.value) if value else [0, 0, 0, 0]

    def wait_for_client(self, predicate, timeout=10.0, what="a client window"):
        def find():
            for wid in self.client_windows():
                if predicate(wid):
                    return wid
            return None
        return wait_until(find, timeout, what)

    def windows_of_class(self, name):
        return [w for w in self.client_windows() if (self.wm_class(w) or ("", ""))[1] == name]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def activate(self, wid):
        self.xdotool("windowactivate", "--sync", wid)
        wait_until(lambda: self.active_window() == wid, what=f"window {wid:#x} to become active")

    def drag_bottom_right_edge(self, wid, steps, dx=6, dy=4, on_step=None):
        """Drags the frame's bottom-right corner with XTEST, relative motions as a hand would."""
        g = self.geometry(wid)
        left, right, top, bottom = self.frame_extents(wid)
        x = g["x"] + g["width"] + right - 2
        y = g["y"] + g["height"] + bottom - 2
        self.xdotool("mousemove", x, y)
        self.xdotool("mousedown", 1)
        for step in range(steps):
            self.xdotool("mousemove_relative", "--", dx, dy)
            if on_step:
                on_step(step)
        self.xdotool("mouseup", 1)

    def start_xterm(self, *extra):
        before = set(self.windows_of_class("XTerm"))
        process = self.spawn(["xterm", "-geometry", "80x24+120+120", *extra])
        wid = wait_until(lambda: next((w for w in self.windows_of_class("XTerm") if w not in before), None),
                         what="a new xterm window")
        return process, wid


class DesktopTestCase(unittest.TestCase):
    """One private desktop per test."""

    window_manager = True
    tray = False
    screen = "1600x1000x24"

    def setUp(self):
        self.desktop = Desktop(window_manager=self.window_manager, tray=self.tray,
                               screen=self.screen).__enter__()
        self.addCleanup(self.desktop.__exit__, None, None, None)


def screenshot(desktop, name):
    """Saves the whole screen as NAME.png in $NIVU_SCREENSHOT_DIR, when that is set."""
    folder = os.environ.get("NIVU_SCREENSHOT_DIR")
    if folder:
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                       env=desktop.env, check=True)


def nivu_config(desktop, document):
    """Writes ~/.nivu/config.json in the desktop's HOME."""
    folder = os.path.join(desktop.home, ".nivu")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "config.json")
    with open(path, "wb") as file:
        file.write(document if isinstance(document, bytes) else document.encode())
    return path


def top_level_windows(desktop):
    """Every viewable child of the root: (id, geometry, override-redirect, WM_CLASS)."""
    found = []
    for child in desktop.root.query_tree().children:
        try:
            attributes = child.get_attributes()
            if attributes.map_state != X.IsViewable:
                continue
            geometry = child.get_geometry()
            found.append({"id": child.id, "x": geometry.x, "y": geometry.y, "width": geometry.width,
                          "height": geometry.height, "override": bool(attributes.override_redirect),
                          "class": child.get_wm_class()})
        except xerror.XError:
            continue
    return found


def descendants(window):
    try:
        children = window.query_tree().children
    except xerror.XError:
        return []
    found = []
    for child in children:
        found.append(child)
        found.extend(descendants(child))
    return found


def tray_icon(desktop, name="nivu", host=("panel", "trayer")):
    """The small window of the named program inside the tray host's window, or None."""
    for window in descendants(desktop.root):
        try:
            if (window.get_wm_class() or ("",))[0] != name:
                continue
            geometry = window.get_geometry()
            if geometry.width > 48 or geometry.height > 48:
                continue
            if window.get_attributes().map_state != X.IsViewable:
                continue
            ancestor = window.query_tree().parent
            while ancestor.id != desktop.root.id:
                if ancestor.get_wm_class() == host:
                    return window
                ancestor = ancestor.query_tree().parent
        except xerror.XError:
            continue
    return None


def tray_icon_embedded(desktop):
    return tray_icon(desktop) is not None


def nivu_popups(desktop, min_height=0):
    """Nivu's mapped override-redirect windows (its menus), taller than min_height."""
    return [w for w in top_level_windows(desktop)
            if w["override"] and w["class"] and w["class"][0] == "nivu" and w["height"] > min_height]


def open_status_menu(desktop):
    """Clicks Nivu's tray icon where it is (a new tray host may place it elsewhere) and returns
    the status menu's window."""
    icon = wait_until(lambda: tray_icon(desktop), what="the tray icon")
    g = desktop.geometry(icon.id)
    x, y = g["x"] + g["width"] // 2, g["y"] + g["height"] // 2
    desktop.xdotool("mousemove", x - 150, y + 250)  # come from elsewhere, as a hand does
    desktop.xdotool("mousemove", x, y)
    desktop.xdotool("click", 1)
    return wait_until(lambda: nivu_popups(desktop, 40), what="the status menu")[0]


def popup_open(desktop, popup):
    return popup["id"] in [w["id"] for w in top_level_windows(desktop)]


def wait_closed(desktop, popup, what="the menu to close"):
    wait_until(lambda: not popup_open(desktop, popup), what=what)


def xtest_drag(desktop, x, y, dx, dy, steps):
    """A left-button drag with XTEST on the harness's own connection: press at (x, y), move by
    (dx, dy) steps times, release."""
    from Xlib.ext import xtest
    # The window manager must see the pointer on the frame's corner before the press, and the
    # press before the motions, as with a hand on a mouse.
    xtest.fake_input(desktop.x, X.MotionNotify, x=x, y=y)
    desktop.x.sync()
    time.sleep(0.01)
    xtest.fake_input(desktop.x, X.ButtonPress, 1)
    desktop.x.sync()
    time.sleep(0.01)
    for _ in range(steps):
        xtest.fake_input(desktop.x, X.MotionNotify, detail=1, x=dx, y=dy)
        desktop.x.sync()
    xtest.fake_input(desktop.x, X.ButtonRelease, 1)
    desktop.x.sync()


def frame_corner(desktop, wid):
    """The bottom-right corner of a window's frame, where a drag resizes it."""
    g = desktop.geometry(wid)
    left, right, top, bottom = desktop.frame_extents(wid)
    return g["x"] + g["width"] + right - 2, g["y"] + g["height"] + bottom - 2


class TestClient:
    """Windows made by the test process itself, with whatever properties a test needs."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.x = xdisplay.Display(desktop.display)
        self.x.set_error_handler(lambda *args: None)
        self.root = self.x.screen().root

    def close(self):
        self.x.close()

    def window(self, wm_class=b"client\0Client\0", role=None, pid=None, width=300, height=200,
               map_it=True):
        window = self.root.create_window(80, 80, width, height, 0, self.x.screen().root_depth,
                                         background_pixel=self.x.screen().white_pixel)
        window.change_property(Xatom.WM_CLASS, Xatom.STRING, 8, wm_class[:65536])
        if role is not None:
            # Long values go in pieces: one request carries at most 256 KiB.
            atom = self.x.intern_atom("WM_WINDOW_ROLE")
            window.change_property(atom, Xatom.STRING, 8, role[:65536])
            for start in range(65536, len(role), 65536):
                window.change_property(atom, Xatom.STRING, 8, role[start:start + 65536],
                                       mode=X.PropModeAppend)
        window.change_property(self.x.intern_atom("_NET_WM_PID"), Xatom.CARDINAL, 32,
                               [os.getpid() if pid is None else pid])
        if map_it:
            window.map()
        self.x.sync()
        return window
