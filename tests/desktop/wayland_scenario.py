"""What a user does with Nivu on a Wayland session, the same on KWin and on GNOME Shell (the
session, a harness.WaylandSession, is the hand and the eyes): the badge beside the pointer
during a drag, the size recorded and given to the program's next window, the hot key's presets
at the pointer, also while the badge shows, and a window that vanishes at once."""

import json
import signal

from harness import LineReader, badge_beside, binary, holds_for, wait_until

FHD = 6  # FHD (1080p), the seventh of the ten presets


class WaylandScenario:
    """Mixed into a unittest.TestCase."""

    def start_with_access(self, session, tracked):
        """Nivu where its compositor side runs: access at once, nothing to explain; a second nivu
        in the session says why it does not run; nivu-inspect runs beside it, under names of its
        own, and shows the ids to track. Returns nivu, nivu-inspect and the lines it shows."""
        nivu = session.start_nivu(json.dumps(tracked))
        holds_for(lambda: not session.titled("Nivu"), 1.0, what="no explanation")
        second = session.spawn([binary("nivu")], capture=True)
        self.assertEqual(second.wait(timeout=10), 1)
        self.assertIn(b"already running in this session", second.stderr.read())
        inspect = session.spawn([binary("nivu-inspect")], capture=True)
        return nivu, inspect, LineReader(inspect.stdout, parse_json=True)

    def resize_restore_and_preset(self, session, tracked, inspected, command, app, inside, titled=False, **hand):
        """A drag of the window's corner (inside: how far within the frame the hand holds it; hand:
        the button and key it holds) is recorded, with the badge beside the pointer; the next
        window opens at the stored size; the hot key's FHD gives it 1920 x 1080. titled: KWin
        draws the program's title bar."""
        self.running = []
        try:
            self.checks(session, tracked, inspected, command, app, inside, titled, hand)
        finally:  # a program left running would take the next one's start over
            for program in self.running:
                session.end(program)

    def start(self, session, command):
        program, window = session.start_program(command)
        self.running.append(program)
        return program, window

    def end(self, session, program):
        self.running.remove(program)
        session.end(program)

    def checks(self, session, tracked, inspected, command, app, inside, titled, hand):
        program, window = self.start(session, command)
        if titled:
            frame = session.frame(window)
            self.assertGreater(frame["h"] - frame["bh"], 20, f"KWin's title bar on {app}: {frame}")
        inspected.wait_for(lambda line: line.get("bundleIdentifier") == app and line["event"] == "frontmost",
                           what=f"nivu-inspect to show {app} in front")
        session.place_window(window, 200, 150)
        frame, before = session.frame(window), session.shown_size(window)
        corner = (frame["x"] + frame["w"] + inside, frame["y"] + frame["h"] + inside)

        def badge_beside_pointer(step):
            if step < 4:
                return
            x, y = session.pointer()
            wait_until(lambda: [(b["x"], b["y"], b["kept"]) for b in session.badges()] == [(*badge_beside(x, y), True)],
                       timeout=2, what=f"the badge beside the pointer at {x}, {y}, kept above: {session.badges()}")
        session.resize_by_hand(window, corner, (corner[0] + 90, corner[1] + 60), 12, badge_beside_pointer, **hand)
        wait_until(lambda: not session.badges(), what="the badge to hide after the resize")
        # A busy program may draw its last size after the badge hid, a live resize of its own
        # that Nivu records in turn: what counts is the size the window closes at.
        shown = session.shown_size(window)
        self.end(session, program)
        wait_until(lambda: session.frame(window) is None, what=f"{app} closed")
        width, height = session.last_size(window) or shown
        self.assertGreater(width, before[0] + 40, "the drag resized the window")
        wait_until(lambda: session.stored_size(app) == {"width": width, "height": height},
                   what=f"{width} x {height} recorded: {session.stored_size(app)}")
        tracked["rememberedSizes"][app] = {"_default": {"width": 930, "height": 610}}
        session.write_config(json.dumps(tracked))  # a size only nivu can give it
        program, window = self.start(session, command)
        wait_until(lambda: session.shown_size(window) == (930, 610),
                   what=f"the new {app} at 930 x 610: {session.frame(window)}")
        # The badge shows the restored size; the window keeps the focus meanwhile.
        holds_for(lambda: session.frame(window)["focus"], 0.6, what=f"{app} in focus")
        session.move(700, 400)
        session.press_hot_key()
        wait_until(lambda: session.menus() == [(700, 400, True)],
                   what=lambda: f"the preset menu at the pointer: {session.windows()}")
        session.choose_preset(FHD)
        wait_until(lambda: session.shown_size(window) == (1920, 1080), what=lambda: f"FHD: {session.frame(window)}")
        self.end(session, program)

    def preset_while_the_badge_shows(self, session, effects=None):
        """The hot key pressed while the badge shows a resize of the window in front: the menu
        opens at the pointer with the keyboard, keeps it as the badge hides and shows again (the
        compositor gives the badge's new window the keyboard; Nivu's side hands it back), and its
        FHD sizes that window. effects: a watch to start before and check after."""
        grower, window = session.start_growing_window()
        wait_until(lambda: session.frame(window)["focus"], what="the growing window in front")
        if effects:
            effects.start()
        grower.tell("grow")
        wait_until(session.badges, what="the badge of a window that resizes itself")
        session.move(700, 400)
        session.press_hot_key()
        wait_until(lambda: session.menus() == [(700, 400, True)] and session.badges(),
                   what=lambda: f"the preset menu at the pointer beside the badge: {session.windows()}")
        session.badge_hides_and_shows_again(grower)
        holds_for(lambda: session.menus() == [(700, 400, True)], 0.5, what="the menu open with the keyboard")
        if effects:
            effects.check()
        session.choose_preset(FHD)
        wait_until(lambda: session.shown_size(window) == (1920, 1080),
                   what=lambda: f"FHD on the growing window: {session.frame(window)}")
        session.end(grower)

    def a_window_that_vanishes_at_once_does_no_harm(self, session, nivu, command):
        """A tracked window that vanishes at once, before Nivu restores its size: all goes on."""
        vanishing = session.spawn(command, env=session.own_settings())
        wait_until(lambda: any(w["pid"] == vanishing.pid for w in session.windows()), timeout=30,
                   what="a window that vanishes at once")
        session.end(vanishing, signal.SIGKILL)
        holds_for(session.running_on, 1.0, what="the compositor and Nivu's side in it running on")
        self.assertIsNone(nivu.poll(), nivu.errors.lines)
