"""The badge's latency from the events a compositor noted during a resize by hand: each pointer
step as [time ms, frame, "step", x, y, badge x, badge y] (badge -1, -1 while there is none) and
each move of the badge as [time ms, frame, "badge", x, y]; frame is the count of frames painted,
or None where the compositor does not count them. The badge's showing is timed from a drag's
first resize ([time ms, "resized"] after [time ms, "begin"]) to [time ms, "shown"]."""

BESIDE = 16  # the badge's offset right of and below the pointer


def latencies(events):
    """From a step to the badge beside its point or a later step's, p50 and p99 in ms and in
    frames; steps before the badge first showed are left out (see showings), steps it never
    reached are counted."""
    ms, frames, waiting, shown = [], [], [], None

    def served(time, frame, steps):
        for step_time, step_frame in steps:
            ms.append(time - step_time)
            if frame is not None:
                frames.append(frame - step_frame)

    def beside(step, badge_x, badge_y):
        return (badge_x, badge_y) == (step[2] + BESIDE, step[3] + BESIDE)

    for time, frame, kind, *at in events:
        if kind == "badge" or at[2:] != [-1, -1]:
            shown = time if shown is None else shown
        if shown is None:
            continue
        if kind == "step":
            waiting.append((time, frame, *at[:2]))
        badge = at if kind == "badge" else at[2:]
        reached = [i for i, step in enumerate(waiting) if beside(step, *badge)]
        if reached:
            served(time, frame, [step[:2] for step in waiting[:reached[-1] + 1]])
            waiting = waiting[reached[-1] + 1:]
    ranked = lambda values, share: sorted(values)[min(len(values) - 1, int(share * len(values)))]  # noqa: E731
    result = {"steps": len(ms), "never_reached": len(waiting),
              "p50_ms": round(ranked(ms, 0.5), 1), "p99_ms": round(ranked(ms, 0.99), 1)}
    if frames:
        result.update(p50_frames=ranked(frames, 0.5), p99_frames=ranked(frames, 0.99))
    return result


def showings(events):
    """Per drag, from its first resize to the badge shown, in ms: the first drag's, p50 and p99."""
    times, resized, counted = [], None, False
    for time, kind in events:
        if kind == "begin":
            resized, counted = None, False
        elif kind == "resized" and resized is None:
            resized = time
        elif kind == "shown" and resized is not None and not counted:
            times.append(time - resized)
            counted = True
    ranked = sorted(times)
    return {"drags": len(times), "first_shown_ms": round(times[0], 1),
            "shown_p50_ms": round(ranked[int(0.5 * (len(ranked) - 1))], 1),
            "shown_p99_ms": round(ranked[int(0.99 * (len(ranked) - 1))], 1)}
