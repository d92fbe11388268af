"""The badge's latency from the events a compositor noted during a resize by hand: each pointer
step as [time ms, frame, "step", x, y, badge x, badge y] (badge -1, -1 while there is none) and
each move of the badge as [time ms, frame, "badge", x, y]; frame is the count of frames painted,
or None where the compositor does not count them."""

BESIDE = 16  # the badge's offset right of and below the pointer


def latencies(events):
    """From a step to the badge beside its point or a later step's, p50 and p99 in ms and in
    frames; steps before the badge first showed are left out (the time to that is given), steps
    it never reached are counted."""
    ms, frames, waiting, first_step, shown = [], [], [], None, None

    def served(time, frame, steps):
        for step_time, step_frame in steps:
            ms.append(time - step_time)
            if frame is not None:
                frames.append(frame - step_frame)

    def beside(step, badge_x, badge_y):
        return (badge_x, badge_y) == (step[2] + BESIDE, step[3] + BESIDE)

    for time, frame, kind, *at in events:
        first_step = time if first_step is None else first_step
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
    result = {"steps": len(ms), "never_reached": len(waiting), "first_badge_ms": round(shown - first_step, 1),
              "p50_ms": round(ranked(ms, 0.5), 1), "p99_ms": round(ranked(ms, 0.99), 1)}
    if frames:
        result.update(p50_frames=ranked(frames, 0.5), p99_frames=ranked(frames, 0.99))
    return result
