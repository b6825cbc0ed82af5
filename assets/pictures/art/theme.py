# The shared look: night-blue stone, warm gold trim, cream lettering, parchment.
# Panels, plates and titles used by the menu, the game screen and every dialog.
import numpy as np

from . import core
from .core import (SERIF_BOLD, Canvas, bevel, blur, draw_text, fill, fit_size,
                   fractal_noise, glow_of, rgb, sdf_box, shade, shadow_of, vertical_gradient)

STONE = rgb("#2a3d5c")
STONE_DARK = rgb("#15203a")
STONE_LIGHT = rgb("#3f5a82")
GOLD = rgb("#d9a441")
GOLD_LIGHT = rgb("#ffe08a")
GOLD_DARK = rgb("#8a5a1c")
CREAM = rgb("#fff1d0")
TEAL = rgb("#1f7a8c")
TEAL_LIGHT = rgb("#3fb5c9")
PARCHMENT = rgb("#ecd9ad")
PARCHMENT_DARK = rgb("#b8935a")
INK = rgb("#4a2d14")


def stone_texture(c, seed, base=STONE, contrast=0.22, scale=1.0):
    """Slate-like stone colour array for the canvas (tileable noise)."""
    n = fractal_noise(c.w, c.h, seed, scales=(18 * scale, 6 * scale, 1.5),
                      weights=(0.5, 0.32, 0.18))
    streak = fractal_noise(c.w, c.h, seed + 7, scales=(3 * scale, 1.0), weights=(0.7, 0.3))
    v = (n - 0.5) * contrast + (streak - 0.5) * contrast * 0.35
    return np.clip(base[None, None, :] * (1.0 + v[..., None]), 0, 1)


def gold_colour(c, d, width=3.0):
    light = bevel(d, width)
    body = vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 0, c.h)
    return shade(mix_arr(body, GOLD, 0.55), light, 0.7)


def mix_arr(a, b, t):
    return a + (np.asarray(b, np.float32) - a) * t


def stone_panel(c, x0, y0, x1, y1, radius=14, seed=5, rim=5.0, base=STONE, shadow=True):
    """A dialog body: bevelled gold rim around a slab of dark stone (image coords)."""
    outer = sdf_box(c, x0, y0, x1, y1, radius)
    if shadow:
        c.over((0, 0, 0), shadow_of(fill(outer), 3, 4, 4.0, 0.7))
    # Gold rim.
    c.over(shade(vertical_gradient(c, GOLD_LIGHT * 0.95, GOLD_DARK, y0, y1),
                 bevel(outer, rim * 0.8), 0.7), fill(outer))
    inner = outer + rim
    body = stone_texture(c, seed, base)
    body = body * vertical_gradient(c, np.array([1.15] * 3, np.float32),
                                    np.array([0.8] * 3, np.float32), y0, y1)
    c.over(shade(body, bevel(inner, 4.0, "inset"), 0.5), fill(inner))
    # Inner shadow under the rim (light from the top-left).
    edge = np.clip(1.0 - fill(inner + 5), 0, 1) * fill(inner)
    c.over((0, 0, 0), edge * 0.25)
    return inner


def inset_well(c, x0, y0, x1, y1, radius=6, depth=0.45, colour=STONE_DARK):
    """A recessed area (for numbers, lists, sliders)."""
    d = sdf_box(c, x0, y0, x1, y1, radius)
    c.over(colour, fill(d) * 0.85)
    ring = shade(np.broadcast_to(colour, c.rgb.shape), bevel(d, 3.0, "inset"), 0.8)
    c.over(ring, fill(d) * np.clip(1 - (-d) / 4.0, 0, 1) * depth * 2)
    hl = np.clip(1.0 - np.abs(d - 0.8), 0, 1)
    c.over(GOLD * 0.9, hl * 0.35)
    return d


def title(c, text, cx, cy, size=24, colour=None, max_width=None, font_path=SERIF_BOLD):
    if max_width:
        size = fit_size(text, font_path, size, max_width)
    colour = GOLD_LIGHT if colour is None else colour
    return draw_text(c, text, font_path, size, cx, cy, colour, shadow=0.85,
                     outline=rgb("#3a2208"), emboss=True)


def ribbon(c, x0, y0, x1, y1, text, size=20, seed=3):
    """A gold-rimmed title plaque."""
    d = sdf_box(c, x0, y0, x1, y1, (y1 - y0) / 2.5)
    c.over((0, 0, 0), shadow_of(fill(d), 2, 3, 2.5, 0.6))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, y0, y1), bevel(d, 3.0), 0.7),
           fill(d))
    inner = d + 3
    body = stone_texture(c, seed, rgb("#5a2434"), 0.15)
    body = body * vertical_gradient(c, np.array([1.25] * 3, np.float32),
                                    np.array([0.75] * 3, np.float32), y0, y1)
    c.over(shade(body, bevel(inner, 3.0), 0.4), fill(inner))
    title(c, text, (x0 + x1) / 2, (y0 + y1) / 2 + 1, size, max_width=(x1 - x0) - 16)


def parchment_colour(c, screen_x0, screen_top, seed=11):
    """Parchment sampled in screen space so that pictures drawn over each other at the
    same screen place show the same paper: screen_x0 is the picture's left screen x,
    screen_top the screen y of its top row (y up)."""
    big_w, big_h = 320, 600
    n = fractal_noise(big_w, big_h, seed, scales=(20, 6, 1.5), weights=(0.5, 0.3, 0.2),
                      wrap=True)
    if core.SCALE == 1:
        xs = np.clip((c.x - 0.5 + screen_x0 - 340).astype(int), 0, big_w - 1)
        ys = np.clip((600 - screen_top + c.y - 0.5).astype(int), 0, big_h - 1)
    else:
        # The noise comes at the scale's pixels: pick the pixel under each centre.
        s = core.SCALE
        xs = np.clip(np.floor((c.x + screen_x0 - 340) * s).astype(int), 0, big_w * s - 1)
        ys = np.clip(np.floor((600 - screen_top + c.y) * s).astype(int), 0, big_h * s - 1)
    v = n[ys, xs]
    col = PARCHMENT[None, None, :] * (0.88 + 0.2 * v[..., None])
    return np.clip(col, 0, 1)
