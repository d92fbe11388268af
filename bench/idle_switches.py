"""Context switches of an idle process, every thread counted, over a span longer than Nivu's
longest keep-alive on Wayland (20 s, the KWin script's fetch)."""

import glob
import os
import time

IDLE_SECONDS = 25


def switches_by_thread(pid):
    found = {}
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(status) as file:
                found[os.path.basename(os.path.dirname(status))] = sum(
                    int(line.split()[1]) for line in file if "ctxt_switches" in line)
        except FileNotFoundError:  # the thread ended meanwhile
            pass
    return found


def idle_switches(pid, seconds=IDLE_SECONDS):
    """A thread that ended meanwhile (an idle pool thread expiring) counts as one switch."""
    before = switches_by_thread(pid)
    time.sleep(seconds)  # the span measured: nothing is awaited
    after = switches_by_thread(pid)
    return sum(count - before.get(thread, 0) for thread, count in after.items()) + len(before.keys() - after.keys())
