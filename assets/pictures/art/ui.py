# Buttons and the small controls: every button has a normal, a pointed-at and a
# pressed picture drawn from one recipe, with the plate where the button reacts.
import math

import numpy as np

from .core import (SANS_BOLD, Canvas, bevel, blur, draw_text, fill, fit_size, glow_of,
                   rgb, sdf_box, sdf_circle, sdf_polygon, sdf_segment, shade, shadow_of,
                   vertical_gradient, diagonal_gradient)
from .theme import CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, STONE_DARK

STATES = ("loop", "focus", "down")

PLATE = {
    "loop": (rgb("#2d8fa6"), rgb("#135064")),
    "focus": (rgb("#49c3d9"), rgb("#1b6f86")),
    "down": (rgb("#14566a"), rgb("#0d3a4a")),
}
RED_PLATE = {
    "loop": (rgb("#c8483c"), rgb("#6e1a16")),
    "focus": (rgb("#ef6a55"), rgb("#8c241c")),
    "down": (rgb("#7a231c"), rgb("#4a110e")),
}


def plate(c, x0, y0, x1, y1, state, radius=None, colours=PLATE, rim=2.5):
    """A glossy gold-rimmed plate in image coordinates; returns the label offset."""
    radius = (y1 - y0) / 2.2 if radius is None else radius
    press = 1 if state == "down" else 0
    d = sdf_box(c, x0, y0, x1, y1, radius)
    if state == "focus":
        c.over(GOLD_LIGHT, glow_of(fill(d), 3.0, 1.1) * 0.8)
    if state != "down":
        c.over((0, 0, 0), shadow_of(fill(d), 1, 2, 1.8, 0.65))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, y0, y1), bevel(d, rim),
                 0.7), fill(d))
    inner = sdf_box(c, x0 + rim, y0 + rim, x1 - rim, y1 - rim, max(radius - rim, 1))
    top, bottom = colours[state]
    body = vertical_gradient(c, top, bottom, y0 + press, y1 + press)
    profile = "inset" if state == "down" else "round"
    c.over(shade(body, bevel(inner, 4.0, profile), 0.45), fill(inner))
    if state != "down":
        # Glass highlight over the upper half.
        hl = sdf_box(c, x0 + rim + 3, y0 + rim + 1.5, x1 - rim - 3, (y0 + y1) / 2,
                     max(radius - rim - 2, 1))
        c.over((1, 1, 1), fill(hl) * vertical_gradient(c, np.array([0.32] * 3),
                                                      np.array([0.04] * 3), y0,
                                                      (y0 + y1) / 2)[..., 0])
    return press


def label(c, text, cx, cy, size, max_width, press=0, colour=CREAM, path=SANS_BOLD):
    size = fit_size(text, path, size, max_width)
    draw_text(c, text, path, size, cx + press, cy + press, colour, shadow=0.9,
              outline=rgb("#0b2530"))


def text_button(text, state, width=128, height=64, box=(10, 15, 118, 49), size=15,
                colours=PLATE, icon=None):
    """box is (x0, y0, x1, y1) of the plate measured from the picture's bottom-left."""
    c = Canvas(width, height)
    x0, x1 = box[0], box[2]
    y0, y1 = height - box[3], height - box[1]
    press = plate(c, x0, y0, x1, y1, state, colours=colours)
    cx = (x0 + x1) / 2
    if icon is not None:
        icon(c, x0 + 22 + press, (y0 + y1) / 2 + press, state)
        cx += 16
    label(c, text, cx, (y0 + y1) / 2 - 1, size, (x1 - x0) - (48 if icon else 18), press)
    return c


def triangle(c, cx, cy, size, direction, colour, state):
    """A filled arrow triangle: direction in 'urdl'."""
    pts = {
        "u": [(cx, cy - size), (cx + size, cy + size * 0.7), (cx - size, cy + size * 0.7)],
        "d": [(cx, cy + size), (cx - size, cy - size * 0.7), (cx + size, cy - size * 0.7)],
        "l": [(cx - size, cy), (cx + size * 0.7, cy - size), (cx + size * 0.7, cy + size)],
        "r": [(cx + size, cy), (cx - size * 0.7, cy + size), (cx - size * 0.7, cy - size)],
    }[direction]
    d = sdf_polygon(c, pts)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 0.8, 0.7))
    c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(d, 1.5), 0.5), fill(d))


def arrow_button(direction, state, width, height, box):
    """The small level and page selectors: a plate with a triangle."""
    c = Canvas(width, height)
    x0, x1 = box[0], box[2]
    y0, y1 = height - box[3], height - box[1]
    press = plate(c, x0, y0, x1, y1, state, radius=min(x1 - x0, y1 - y0) / 2.5, rim=1.5)
    colour = GOLD_LIGHT if state == "focus" else CREAM
    size = min(x1 - x0, y1 - y0) * 0.3
    triangle(c, (x0 + x1) / 2 + press, (y0 + y1) / 2 + press, size, direction, colour, state)
    return c


def round_button(kind, state):
    """The top bar's close (x) and minimise (_) buttons: 32 by 32, a disc of radius 10
    around (16, 16), measured from the bottom-left like the hit circle."""
    c = Canvas(32, 32)
    colours = RED_PLATE if kind == "x" else PLATE
    press = 1 if state == "down" else 0
    d = sdf_circle(c, 16, 16, 10.5)
    if state == "focus":
        c.over(GOLD_LIGHT, glow_of(fill(d), 2.5, 1.1) * 0.8)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 1.2, 0.6))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 5, 27), bevel(d, 2.0), 0.7),
           fill(d))
    inner = d + 2
    top, bottom = colours[state]
    c.over(shade(vertical_gradient(c, top, bottom, 7, 26), bevel(inner, 3.0,
                                                                  "inset" if press else "round"), 0.45),
           fill(inner))
    cx, cy = 16 + press, 16 + press
    if kind == "x":
        mark = np.minimum(sdf_segment(c, cx - 4, cy - 4, cx + 4, cy + 4, 1.6),
                          sdf_segment(c, cx - 4, cy + 4, cx + 4, cy - 4, 1.6))
    else:
        mark = sdf_segment(c, cx - 4.5, cy + 3.5, cx + 4.5, cy + 3.5, 1.6)
    c.over((0, 0, 0), shadow_of(fill(mark), 1, 1, 0.6, 0.7))
    c.over(CREAM, fill(mark))
    return c


def checkbox(ticked, focus):
    """24 by 24; the box is the bottom-left 16 by 16 (the hit area), the tick breaks out
    of it to the top-right."""
    c = Canvas(24, 24)
    d = sdf_box(c, 0.5, 8.5, 15.5, 23.5, 3)
    if focus:
        c.over(GOLD_LIGHT, glow_of(fill(d), 2.0, 1.0) * 0.7)
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 8, 24), bevel(d, 1.5), 0.7),
           fill(d))
    inner = d + 2
    c.over(shade(np.broadcast_to(STONE_DARK * (1.5 if focus else 1.0), c.rgb.shape),
                 bevel(inner, 2.5, "inset"), 0.6), fill(inner))
    if ticked:
        tick = sdf_segment(c, 4, 15, 8, 20, 1.8)
        tick = np.minimum(tick, sdf_segment(c, 8, 20, 20, 3, 1.8))
        c.over((0, 0, 0), shadow_of(fill(tick), 1, 1, 0.8, 0.8))
        colour = rgb("#7dff8a") if focus else rgb("#4fe060")
        c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(tick, 1.2), 0.5), fill(tick))
    return c


def slider_knob(focus):
    c = Canvas(18, 18)
    d = sdf_circle(c, 9, 9, 7.5)
    if focus:
        c.over(GOLD_LIGHT, glow_of(fill(d), 1.5, 1.2) * 0.8)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 1.0, 0.5))
    c.over(shade(diagonal_gradient(c, GOLD_LIGHT, GOLD_DARK, 3, 3, 15, 15), bevel(d, 3.0), 0.7),
           fill(d))
    gem = sdf_circle(c, 9, 9, 3.2)
    gem_colour = rgb("#6ff0ff") if focus else rgb("#2aa8c0")
    c.over(shade(np.broadcast_to(gem_colour, c.rgb.shape), bevel(gem, 2.0), 0.6), fill(gem))
    return c


def slider_track():
    c = Canvas(192, 6)
    d = sdf_box(c, 0.5, 0.5, 191.5, 5.5, 2.5)
    c.over(rgb("#0a1020"), fill(d))
    c.over(shade(np.broadcast_to(rgb("#1c2c48"), c.rgb.shape), bevel(d, 2.0, "inset"), 0.8),
           fill(d + 0.8))
    hl = np.clip(1.0 - np.abs(d + 0.2), 0, 1)
    c.over(GOLD, hl * 0.55)
    return c
