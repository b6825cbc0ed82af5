# Glows, bolts, sparks and rings (drawn additively by the game), the six magic
# symbols, the animated coin and clock, and the small icons of the game buttons.
import functools
import math

import numpy as np

from .core import (Canvas, bevel, fill, glow_of, rgb, sdf_box, sdf_circle, sdf_polygon,
                   sdf_polyline, sdf_segment, sdf_star, shade, shadow_of, vertical_gradient,
                   diagonal_gradient, regular_polygon)
from .pieces import bolt_strip, rayed_glow, soft_glow
from .theme import CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, STONE_DARK

SYMBOLS = "arqows"  # slot order of the six magic symbols


def _metal(c, d, colour, width=2.0, strength=0.6):
    c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(d, width), strength), fill(d))


def symbol_shape(c, index, cx, cy, r):
    """Six runes, each its own silhouette: sun, crescent, eye, tower, wave, key."""
    if index == 0:  # sun: disc with eight rays
        d = np.minimum(sdf_circle(c, cx, cy, r * 0.45),
                       sdf_star(c, cx, cy, r, r * 0.55, 8, 0.0))
    elif index == 1:  # crescent moon
        d = np.maximum(sdf_circle(c, cx, cy, r * 0.85),
                       -sdf_circle(c, cx + r * 0.45, cy - r * 0.25, r * 0.7))
    elif index == 2:  # eye: lens with a pupil hole
        lens = np.maximum(sdf_circle(c, cx, cy + r * 0.9, r * 1.3),
                          sdf_circle(c, cx, cy - r * 0.9, r * 1.3))
        d = np.maximum(lens, -sdf_circle(c, cx, cy, r * 0.3))
    elif index == 3:  # tower: triangle on a bar
        d = np.minimum(sdf_polygon(c, [(cx, cy - r), (cx + r * 0.75, cy + r * 0.35),
                                       (cx - r * 0.75, cy + r * 0.35)]),
                       sdf_box(c, cx - r * 0.85, cy + r * 0.5, cx + r * 0.85, cy + r * 0.85, 1))
    elif index == 4:  # wave: two zig-zags
        pts1 = [(cx - r * 0.9 + i * r * 0.45, cy - r * 0.35 + (i % 2) * r * 0.5)
                for i in range(5)]
        pts2 = [(x, y + r * 0.6) for x, y in pts1]
        d = np.minimum(sdf_polyline(c, pts1, r * 0.16), sdf_polyline(c, pts2, r * 0.16))
    else:  # key: ring and shaft with teeth
        ring = np.maximum(sdf_circle(c, cx - r * 0.45, cy, r * 0.5),
                          -sdf_circle(c, cx - r * 0.45, cy, r * 0.24))
        shaft = sdf_box(c, cx - r * 0.05, cy - r * 0.12, cx + r * 0.95, cy + r * 0.12, 0.5)
        teeth = np.minimum(sdf_box(c, cx + r * 0.55, cy, cx + r * 0.7, cy + r * 0.5, 0.5),
                           sdf_box(c, cx + r * 0.8, cy, cx + r * 0.95, cy + r * 0.4, 0.5))
        d = np.minimum(ring, np.minimum(shaft, teeth))
    return d


SYMBOL_COLOURS = [rgb("#ffd34a"), rgb("#bfe6ff"), rgb("#7dff9a"), rgb("#ff9a5a"),
                  rgb("#6ad8ff"), rgb("#ff7ad0")]


def symbol(index, collected):
    """A 32 by 32 slot of the symbol row: an engraved socket, lit once collected."""
    c = Canvas(32, 32)
    socket = sdf_circle(c, 16, 16, 15)
    c.over((0, 0, 0), shadow_of(fill(socket), 1, 1, 1.2, 0.5))
    _metal(c, socket, GOLD * 0.9, 2.0, 0.7)
    inner = socket + 2.0
    base = rgb("#1d2f4f") if not collected else rgb("#2c1d4f")
    c.over(shade(np.broadcast_to(base, c.rgb.shape), bevel(inner, 3.0, "inset"), 0.6), fill(inner))
    d = symbol_shape(c, index, 16, 16, 9.5)
    if collected:
        colour = SYMBOL_COLOURS[index]
        c.over(colour, glow_of(fill(d), 2.0, 1.4) * 0.9)
        _metal(c, d, np.clip(colour * 0.7 + 0.35, 0, 1), 1.5, 0.5)
    else:
        c.over(rgb("#0a1222"), fill(d) * 0.9)
        c.over(shade(np.broadcast_to(rgb("#34486b"), c.rgb.shape), bevel(d, 1.2, "inset"), 0.7),
               fill(d + 0.8) * 0.9)
    return c


def coin_frame(i, count):
    """A gold coin turning about its vertical axis."""
    c = Canvas(32, 32)
    phase = 2 * math.pi * i / count
    squash = max(abs(math.cos(phase)), 0.14)
    rx = 13.0 * squash
    k = np.hypot((c.x - 16) / rx, (c.y - 16) / 13.0)
    d = (k - 1.0) * max(rx, 2.0)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 1.0, 0.5))
    _metal(c, d, rgb("#9a6a1a"), 2.0, 0.6)
    face = d + 1.8
    col = diagonal_gradient(c, GOLD_LIGHT, GOLD_DARK, 16 - rx, 3, 16 + rx, 29)
    c.over(shade(col, bevel(face, 2.5), 0.6), fill(face))
    if squash > 0.35:
        squeezed = Canvas(32, 32)
        squeezed.x = (c.x - 16) / squash + 16
        mark = sdf_star(squeezed, 16, 16.5, 7, 3, 5) * squash
        c.over(shade(np.broadcast_to(GOLD_DARK * 1.2, c.rgb.shape), bevel(mark, 1.2, "inset"),
                     0.7), fill(mark) * 0.8)
    glint = np.clip(1 - np.abs((c.x - 16) + (c.y - 16) - 18 * math.sin(phase)) / 4, 0, 1)
    c.add_glow((1, 1, 1), fill(face) * glint * 0.5)
    return c


def clock_frame(i, count):
    """A small clock face whose hand goes round once per loop."""
    c = Canvas(32, 32)
    rim = sdf_circle(c, 16, 17, 13.5)
    c.over((0, 0, 0), shadow_of(fill(rim), 1, 1, 1.0, 0.5))
    _metal(c, rim, GOLD, 2.0, 0.7)
    bell = sdf_box(c, 13, 1.5, 19, 5, 1.5)
    _metal(c, bell, GOLD, 1.2, 0.6)
    face = rim + 2.5
    c.over(shade(vertical_gradient(c, rgb("#fffaf0"), rgb("#d9cfb8"), 4, 30),
                 bevel(face, 2.5, "inset"), 0.5), fill(face))
    for h in range(12):
        a = h * math.pi / 6
        r0, r1 = (8.0, 10.0) if h % 3 else (7.0, 10.0)
        tick = sdf_segment(c, 16 + r0 * math.sin(a), 17 - r0 * math.cos(a),
                           16 + r1 * math.sin(a), 17 - r1 * math.cos(a), 0.55)
        c.over(rgb("#4a3a2a"), fill(tick))
    a = 2 * math.pi * i / count
    hand = sdf_segment(c, 16, 17, 16 + 8.5 * math.sin(a), 17 - 8.5 * math.cos(a), 1.0)
    c.over(rgb("#b0281e"), fill(hand))
    hour = sdf_segment(c, 16, 17, 16 + 5 * math.sin(a / 12 + 1.0), 17 - 5 * math.cos(a / 12 + 1.0),
                       1.3)
    c.over(rgb("#2a2018"), fill(hour))
    c.over(GOLD_DARK, fill(sdf_circle(c, 16, 17, 1.6)))
    return c


def level_icon():
    """A banner flag on a pole: the round (level) panel's icon."""
    c = Canvas(32, 32)
    pole = sdf_box(c, 6, 3, 9, 30, 1.2)
    c.over((0, 0, 0), shadow_of(fill(pole), 1, 1, 1.0, 0.5))
    _metal(c, pole, GOLD, 1.2, 0.7)
    knob = sdf_circle(c, 7.5, 3.5, 2.5)
    _metal(c, knob, GOLD_LIGHT, 1.5, 0.7)
    flag = sdf_polygon(c, [(9, 6), (29, 9), (23, 13.5), (29, 18), (9, 20)])
    c.over((0, 0, 0), shadow_of(fill(flag), 1, 2, 1.2, 0.5))
    c.over(shade(vertical_gradient(c, rgb("#ff6a55"), rgb("#a3221a"), 6, 20), bevel(flag, 2.0), 0.5),
           fill(flag))
    star = sdf_star(c, 15.5, 13, 3.8, 1.6, 5)
    c.over(GOLD_LIGHT, fill(star))
    return c


# ---- icons of the game-screen buttons (drawn on the plate, centred at cx, cy) ----------

def _icon_paint(c, d, state):
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 0.8, 0.7))
    colour = GOLD_LIGHT if state == "focus" else rgb("#ffe6a8")
    c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(d, 1.5), 0.5), fill(d))


def icon_pause(c, cx, cy, state):
    d = np.minimum(sdf_box(c, cx - 7, cy - 8, cx - 2, cy + 8, 1.2),
                   sdf_box(c, cx + 2, cy - 8, cx + 7, cy + 8, 1.2))
    _icon_paint(c, d, state)


def icon_gear(c, cx, cy, state):
    teeth = None
    for k in range(8):
        a = k * math.pi / 4
        t = sdf_segment(c, cx, cy, cx + 8.5 * math.cos(a), cy + 8.5 * math.sin(a), 2.0)
        teeth = t if teeth is None else np.minimum(teeth, t)
    d = np.minimum(sdf_circle(c, cx, cy, 6.5), teeth)
    d = np.maximum(d, -sdf_circle(c, cx, cy, 2.6))
    _icon_paint(c, d, state)


def icon_help(c, cx, cy, state):
    ring = sdf_circle(c, cx, cy, 9.5)
    c.over((0, 0, 0), shadow_of(fill(ring), 1, 1, 0.8, 0.6))
    colour = GOLD_LIGHT if state == "focus" else rgb("#ffe6a8")
    c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(ring, 2.0), 0.5), fill(ring))
    hook = sdf_polyline(c, [(cx - 3.2, cy - 3), (cx - 2.2, cy - 5.5), (cx + 0.5, cy - 6),
                            (cx + 3, cy - 4.5), (cx + 2.8, cy - 2), (cx, cy), (cx, cy + 2)], 1.4)
    dot = sdf_circle(c, cx, cy + 5.2, 1.6)
    c.over(rgb("#14566a"), fill(np.minimum(hook, dot)))


def icon_trophy(c, cx, cy, state):
    bowl = np.maximum(sdf_circle(c, cx, cy - 6, 7.5), (cy - 6) - c.y)
    rim = sdf_box(c, cx - 8, cy - 8.5, cx + 8, cy - 5.5, 1)
    stem = sdf_box(c, cx - 1.5, cy, cx + 1.5, cy + 5, 0.5)
    foot = sdf_box(c, cx - 5.5, cy + 4.5, cx + 5.5, cy + 8, 1)
    handles = None
    for hx in (cx - 8, cx + 8):
        h = np.maximum(sdf_circle(c, hx, cy - 3.5, 3.6), -sdf_circle(c, hx, cy - 3.5, 2.0))
        handles = h if handles is None else np.minimum(handles, h)
    d = np.minimum(np.minimum(np.minimum(bowl, rim), np.minimum(stem, foot)), handles)
    _icon_paint(c, d, state)


# ---- the effect pictures -------------------------------------------------------------

def halo(size, colour, rays, inner):
    """A rayed glow that rings a piece and leaves its middle clear, so the piece's own
    shape stays readable under it (drawn additively, turned by the game)."""
    c = Canvas(size, size)
    dx, dy = c.x - size / 2, c.y - size / 2
    r = np.hypot(dx, dy) / (size / 2)
    ang = np.arctan2(dy, dx)
    ray = (0.5 + 0.5 * np.cos(ang * rays)) ** 4
    ring = np.clip(1.0 - np.abs(r - inner) / 0.22, 0, 1) ** 1.5
    outer = np.clip((1.0 - r) / (1.0 - inner), 0, 1) * (r > inner) * ray
    c.over(colour, np.clip(ring * 0.9 + outer * 0.8, 0, 1))
    return c


def _sphere(colour, sparks, radius):
    """The halo of a piece carrying a magic symbol: a bright ring with sparks on it and
    a clear middle (the game turns two of them at different speeds at low opacity)."""
    c = Canvas(64, 64)
    r = np.hypot(c.x - 32, c.y - 32)
    ring = np.clip(1.0 - np.abs(r - radius) / 4.5, 0, 1) ** 1.2
    c.over(colour, glow_of(ring, 3.0, 1.8))
    c.over(np.clip(colour * 0.4 + 0.6, 0, 1), ring)
    for i in range(sparks):
        a = 2 * math.pi * i / sparks
        spark = sdf_star(c, 32 + radius * math.cos(a), 32 + radius * math.sin(a), 6.0, 1.6, 4, a)
        c.over((1, 1, 1), fill(spark))
    return c


def _star():
    c = Canvas(24, 24)
    d = sdf_star(c, 12, 12, 11, 3.2, 4)
    c.over(rgb("#ffd870"), glow_of(fill(d), 2.0, 1.3))
    c.over(rgb("#fffbe8"), fill(d))
    return c


def _ring():
    c = Canvas(32, 32)
    r = np.hypot(c.x - 16, c.y - 16)
    ring = np.clip(1.0 - np.abs(r - 12.5) / 3.0, 0, 1) ** 1.5
    c.over(rgb("#ffa040"), ring)
    c.over(rgb("#fff0c0"), np.clip(1.0 - np.abs(r - 12.5) / 1.2, 0, 1))
    return c


def _box_burst():
    c = Canvas(64, 64)
    d = sdf_box(c, 14, 14, 50, 50, 6)
    frame = np.clip(1.0 - np.abs(d) / 2.5, 0, 1)
    c.over(rgb("#c080ff"), glow_of(frame, 4.0, 1.5))
    c.over(rgb("#ffffff"), frame)
    c.over(rgb("#ffe0ff"), rayed_glow(64, rgb("#ffe0ff"), 4).a * 0.6)
    return c


def _solid(size, colour):
    return Canvas(size, size, colour)


def pictures(Picture):
    out = []
    for i, letter in enumerate(SYMBOLS):
        out.append(Picture("%s0.tga" % letter, functools.partial(symbol, i, False),
                           "symbol row: magic symbol %d, empty slot" % (i + 1)))
        out.append(Picture("%s1.tga" % letter, functools.partial(symbol, i, True),
                           "symbol row: magic symbol %d, collected" % (i + 1)))
    out += [
        Picture("coin.spt", None, "score panel icon: turning coin, 8 frames",
                frames=lambda: [coin_frame(i, 8) for i in range(8)], duration=0.09),
        Picture("clock.spt", None, "time panel icon: clock with a running hand, 12 frames",
                frames=lambda: [clock_frame(i, 12) for i in range(12)], duration=0.08),
        Picture("level.tga", level_icon, "round panel icon: banner flag"),
        Picture("bomb_flare.tga", lambda: halo(32, rgb("#ff8a30"), 6, 0.55),
                "turning glow over bomb arrows (additive)"),
        Picture("moln_flare.tga", lambda: halo(64, rgb("#b080ff"), 5, 0.62),
                "pulsing glow over lightning arrows (additive)"),
        Picture("letter_sphere.tga", lambda: _sphere(rgb("#80c0ff"), 4, 27.0),
                "halo of a piece carrying a magic symbol, outer (additive)"),
        Picture("letter_sphere1.tga", lambda: _sphere(rgb("#ffd080"), 3, 24.0),
                "halo of a piece carrying a magic symbol, inner (additive)"),
        Picture("flare.tga", lambda: rayed_glow(64, rgb("#ffe070"), 8),
                "turning glow at the top of the progress indicator (additive)"),
        Picture("moln.tga", lambda: bolt_strip(64, 32, rgb("#a070ff"), 0.22),
                "band of the lightning arrow's row or column blast (additive)"),
        Picture("moln2.tga", lambda: bolt_strip(64, 32, rgb("#ffd060"), 0.2),
                "band of the beams carrying a magic symbol to its slot (additive)"),
        Picture("moln3.tga", lambda: bolt_strip(32, 16, rgb("#60d0ff"), 0.3),
                "band of the small link bolts between linked arrows (additive)"),
        Picture("circle.tga", lambda: soft_glow(32, rgb("#ffffff"), 0.2, 1.6),
                "round soft particle (additive)"),
        Picture("zvezda.tga", _star, "star particle of every explosion (additive)"),
        Picture("kolco.tga", _ring, "growing ring of a bomb explosion (additive)"),
        Picture("box.tga", _box_burst, "burst where a magic symbol lands (additive)"),
        Picture("white.tga", functools.partial(_solid, 16, rgb("#ffffff")),
                "plain white, for flashes"),
        Picture("Black.tga", functools.partial(_solid, 8, rgb("#000000")),
                "shade stretched over the screen behind dialogs and fades"),
    ]
    return out
