# SPDX-License-Identifier: MIT
"""The figures of a drag: the path the pointer takes, and from what the page
recorded, the frames that showed a new position and the delays to them.
Times are in seconds where the benchmark took them and in milliseconds where
the page did, as each clock reads them."""

import math


def ellipse(centre_left, top, bottom, moves, turns=2):
    """A path from (x, y) round an ellipse to its left and back, `turns` times,
    kept inside the band from `top` to `bottom`."""
    x, y = centre_left
    rx, ry = 150, max(10, min(100, y - top - 5, bottom - y - 5))
    return [(round(x + rx * (math.cos(a) - 1)), round(y + ry * math.sin(a)))
            for a in (2 * math.pi * turns * k / moves for k in range(moves + 1))]


def frames_and_delays(taken, points, frames):
    """From one drag: the frames that showed a new position (their end times)
    and, for every move, the delay to the first frame that showed it or a later one."""
    shown_upto = []  # (frame end, index of the latest move it shows)
    j = 0
    for begun, ended, sx, sy in frames:
        if sx is None or begun / 1000 < taken[0]:
            continue  # drawn before the first move
        k = j
        while k < len(points) and (abs(points[k][0] - sx) > 0.5 or abs(points[k][1] - sy) > 0.5):
            k += 1
        if k < len(points):
            if not shown_upto or k > shown_upto[-1][1]:
                shown_upto.append((ended / 1000, k))
            j = k
    delays, f = [], 0
    for i, at in enumerate(taken):
        while f < len(shown_upto) and shown_upto[f][1] < i:
            f += 1
        if f < len(shown_upto):
            delays.append((shown_upto[f][0] - at) * 1000)
    return [t for t, k in shown_upto if k > 0], delays


def event_delays(taken, points, moves):
    """For every move the page saw, the delay from the X server to the page's pointer event."""
    delays, i = [], 0
    for at, x, y in moves:
        if at / 1000 < taken[0] - 0.005:
            continue  # a move before the drag
        k = i
        while k < len(points) and (abs(points[k][0] - x) > 0.5 or abs(points[k][1] - y) > 0.5):
            k += 1
        if k < len(points):
            delays.append(at - taken[k] * 1000)
            i = k + 1
    return delays


def percentile(values, share):
    """The value below which `share` per cent of `values` lie (nearest rank)."""
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, max(0, math.ceil(share / 100 * len(ordered)) - 1))]
