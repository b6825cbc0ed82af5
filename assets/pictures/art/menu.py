# The main menu (scrolling tile, centre emblem, the two mode walls, the bottom
# ledge), the intro logos and dots, and the top bar.
import functools
import math

import numpy as np

from .core import (scaled, SANS_BOLD, SERIF_BOLD, SERIF_CONDENSED_BOLD, Canvas, bevel, blur,
                   draw_text, fill, fractal_noise, glow_of, rgb, sdf_box, sdf_circle,
                   sdf_polygon, sdf_segment, sdf_star, shade, shadow_of, text_mask,
                   vertical_gradient, diagonal_gradient)
from . import core, pieces
from .theme import (CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, STONE, STONE_DARK, inset_well,
                    ribbon, stone_texture, title)

WALL = rgb("#223350")


def back_tile():
    """128 by 128, repeats in both directions while it scrolls down behind the menu."""
    c = Canvas(128, 128)
    n = fractal_noise(128, 128, 61, scales=(14, 5, 1.5), weights=(0.5, 0.3, 0.2))
    col = rgb("#16284a") * (0.8 + 0.4 * n[..., None])
    # A diamond lattice of thin gold-blue lines, period 64 (a divisor of the tile).
    u = np.abs(((c.x + c.y) % 64) - 32)
    v = np.abs(((c.x - c.y) % 64) - 32)
    line = np.clip(1.2 - np.minimum(u, v), 0, 1)
    col = col + rgb("#2f4f86")[None, None, :] * line[..., None] * 0.5
    # Small arrow glyphs in the diamonds, pointing down the way the tiles move.
    for cx, cy in ((32, 0), (96, 64), (32, 128), (0, 64), (128, 64), (96, 0), (96, 128)):
        d = sdf_polygon(c, [(cx, cy + 7), (cx + 6, cy - 1), (cx + 2, cy - 1), (cx + 2, cy - 7),
                            (cx - 2, cy - 7), (cx - 2, cy - 1), (cx - 6, cy - 1)])
        col = col + rgb("#3a5a90")[None, None, :] * fill(d)[..., None] * 0.45
    c.over(np.clip(col, 0, 1), 1.0)
    return c


def logo_text(c, text, cx, cy, size, path=SERIF_BOLD):
    """The game's name: gold letters with a dark outline and a warm glow."""
    m = text_mask(c, text, path, size, cx, cy)
    c.over(rgb("#ff9a30"), glow_of(m, size * 0.18, 1.2) * 0.6)
    c.over((0, 0, 0), shadow_of(m, 2, 3, 2.0, 1.2))
    c.over(rgb("#2a1404"), np.clip(blur(m, 1.2) * 3.0, 0, 1))
    col = vertical_gradient(c, rgb("#fff4c0"), rgb("#c07a1e"), cy - size * 0.45, cy + size * 0.4)
    c.over(col, m)
    hl = np.clip(m - np.roll(m, 2 * core.SCALE, axis=0), 0, 1)
    c.add_glow((1, 1, 1), hl * 0.5)
    return m


def tavrolith_logo():
    c = Canvas(512, 96)
    logo_text(c, "TAVROLITH", 256, 50, 64)
    for x, turns in ((22, 1), (490, 3)):
        d = sdf_polygon(c, pieces.rotate_points(
            [(x, 34), (x + 12, 48), (x + 5, 48), (x + 5, 64), (x - 5, 64), (x - 5, 48),
             (x - 12, 48)], x, 49, turns))
        c.over((0, 0, 0), shadow_of(fill(d), 1, 2, 1.5, 0.7))
        c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 34, 64), bevel(d, 2.5), 0.6),
               fill(d))
    return c


def zelto_logo():
    """The maker's mark: a faceted gem with a Z, over the name."""
    c = Canvas(96, 96)
    gem = sdf_polygon(c, [(48, 6), (78, 24), (78, 56), (48, 74), (18, 56), (18, 24)])
    c.over(rgb("#40c0ff"), glow_of(fill(gem), 4.0, 0.9) * 0.5)
    c.over(shade(diagonal_gradient(c, rgb("#7ee0ff"), rgb("#10508a"), 18, 6, 78, 74),
                 bevel(gem, 6.0, "linear"), 0.6), fill(gem))
    z = sdf_polygon(c, [(34, 26), (62, 26), (62, 32), (44, 50), (62, 50), (62, 56), (34, 56),
                        (34, 50), (52, 32), (34, 32)])
    c.over((0, 0, 0), shadow_of(fill(z), 1, 1, 1.0, 0.6))
    c.over(CREAM, fill(z))
    draw_text(c, "ZELTO", SANS_BOLD, 13, 48, 86, CREAM, shadow=0.8)
    return c


def dot(lit):
    c = Canvas(12, 12)
    d = sdf_circle(c, 6, 6, 4.5)
    if lit:
        c.over(rgb("#ffc040"), glow_of(fill(d), 1.5, 1.2) * 0.9)
        colour = GOLD_LIGHT
    else:
        colour = rgb("#3a4a66")
    c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(d, 2.5), 0.6), fill(d))
    return c


def _bar(c):
    col = stone_texture(c, 71, rgb("#1a2740"), 0.2)
    col = col * vertical_gradient(c, np.array([1.3] * 3, np.float32),
                                  np.array([0.8] * 3, np.float32), 0, 37)
    c.over(col, 1.0)
    trim = np.clip(1.0 - np.abs(c.y - 34.0) / 1.5, 0, 1)
    c.over(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 32, 36), trim)
    c.over((1, 1, 1), np.clip(1.0 - np.abs(c.y - 0.5), 0, 1) * 0.2)


def top_bar():
    c = Canvas(256, 37)
    _bar(c)
    return c


def top_bar_logo():
    c = Canvas(256, 37)
    _bar(c)
    for i, kind in enumerate(("blue", "red", "green")):
        c.paste(scaled(pieces.piece(kind, "r"), 24, 24), 8 + i * 20, 5)
    logo_text(c, "Tavrolith", 150, 17, 20)
    return c


def emblem():
    """menu_bgr.tga, 256 by 256 at screen (272, 300): a medallion of real pieces over a
    ribbon with the game's name."""
    c = Canvas(256, 256)
    med = sdf_circle(c, 128, 108, 98)
    c.over((0, 0, 0), shadow_of(fill(med), 3, 4, 4.0, 0.7))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 10, 206), bevel(med, 5.0), 0.7),
           fill(med))
    inner = med + 6
    body = stone_texture(c, 81, STONE, 0.2)
    c.over(shade(body, bevel(inner, 6.0, "inset"), 0.5), fill(inner))
    ring = np.clip(1.0 - np.abs(sdf_circle(c, 128, 108, 84)) / 1.0, 0, 1)
    c.over(GOLD * 0.8, ring * 0.6)
    for kind, direction, x, y in (("blue", "u", 103, 22), ("red", "r", 160, 83),
                                  ("green", "d", 103, 144), ("rgb", "l", 46, 83),
                                  ("moln", "u", 103, 83)):
        c.paste(pieces.piece(kind, direction), x, y)
    ribbon(c, 8, 196, 248, 244, "TAVROLITH", 28)
    return c


def _wall(mirror):
    """A stone pillar with a carved edge; the inner side fades into shadow."""
    c = Canvas(256, 512)
    col = stone_texture(c, 91 if mirror else 92, WALL, 0.25)
    edge_x = 190 if not mirror else 66
    if not mirror:
        d = c.x - edge_x
    else:
        d = edge_x - c.x
    # Stone courses every 64 pixels.
    course = np.abs(((c.y + (0 if not mirror else 32)) % 64) - 32)
    col = col * (1.0 - 0.35 * np.clip(1.2 - (32 - course), 0, 1))[..., None]
    col = shade(col, bevel(d, 8.0), 0.4)
    c.over((0, 0, 0), np.clip(1.0 - np.abs(d - 6) / 8, 0, 1) * fill(-d + 14) * 0.5 * (d > 0))
    c.over(col, fill(d))
    trim = np.clip(1.0 - np.abs(d + 3.0) / 2.0, 0, 1)
    c.over(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 0, 512), trim)
    return c


def _mode_wall(mirror, name, note, number_x, well, plaque_x):
    c = _wall(mirror)
    top = 576  # screen y of the picture's top row
    left = 544 if mirror else 0

    def box(x0, y0, x1, y1):  # screen rectangle -> image coordinates
        return x0 - left, top - y1, x1 - left, top - y0

    # Medallion with the mode's sign.
    mx, my = plaque_x - left, top - 330
    med = sdf_circle(c, mx, my, 44)
    c.over((0, 0, 0), shadow_of(fill(med), 2, 3, 3.0, 0.6))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, my - 44, my + 44), bevel(med, 4.0),
                 0.7), fill(med))
    c.over(shade(stone_texture(c, 5, STONE, 0.2), bevel(med + 5, 5.0, "inset"), 0.5), fill(med + 5))
    if not mirror:
        # Classic: four arrows turning round in a circle.
        for k in range(4):
            a = k * math.pi / 2
            px, py = mx + 22 * math.cos(a), my + 22 * math.sin(a)
            pts = pieces.rotate_points([(px, py - 10), (px + 9, py + 2), (px + 4, py + 2),
                                        (px + 4, py + 9), (px - 4, py + 9), (px - 4, py + 2),
                                        (px - 9, py + 2)], px, py, k + 1)
            d = sdf_polygon(c, pts)
            colour = [pieces.COLOURS["blue"], pieces.COLOURS["red"], pieces.COLOURS["green"],
                      rgb("#ffd43a")][k]
            c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 1.0, 0.6))
            c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(d, 2.0), 0.5), fill(d))
    else:
        # Time attack: an hourglass.
        glass = np.minimum(sdf_polygon(c, [(mx - 16, my - 24), (mx + 16, my - 24), (mx + 2, my),
                                           (mx - 2, my)]),
                           sdf_polygon(c, [(mx - 2, my), (mx + 2, my), (mx + 16, my + 24),
                                           (mx - 16, my + 24)]))
        c.over(rgb("#9fd8ff"), fill(glass) * 0.35)
        sand = np.minimum(sdf_polygon(c, [(mx - 9, my - 13), (mx + 9, my - 13), (mx + 1, my),
                                          (mx - 1, my)]),
                          sdf_polygon(c, [(mx - 1, my + 10), (mx + 1, my + 10), (mx + 13, my + 23),
                                          (mx - 13, my + 23)]))
        c.over(rgb("#ffcf60"), fill(sand))
        c.over(rgb("#ffcf60"), fill(sdf_segment(c, mx, my, mx, my + 22, 0.8)))
        caps = np.minimum(sdf_box(c, mx - 20, my - 29, mx + 20, my - 23, 2),
                          sdf_box(c, mx - 20, my + 23, mx + 20, my + 29, 2))
        c.over(shade(np.broadcast_to(GOLD, c.rgb.shape), bevel(caps, 2.0), 0.6), fill(caps))
    draw_text(c, note, SANS_BOLD, 11, mx, top - 272, CREAM, shadow=0.9)
    x0, y0, x1, y1 = box(plaque_x - 82, 210, plaque_x + 82, 246)
    ribbon(c, x0, y0, x1, y1, name, 19)
    x0, y0, x1, y1 = box(*well)
    inset_well(c, x0, y0, x1, y1, 8)
    draw_text(c, "LEVEL", SERIF_BOLD, 10, number_x - left, top - 188, GOLD_LIGHT, shadow=0.9)
    return c


def menu_bottom():
    """The ledge along the bottom of the menu (800 by 128 at screen (0, -40)): stone with
    a gold trim and studs, and a carved band behind the row of menu buttons."""
    c = Canvas(800, 128)
    col = stone_texture(c, 101, WALL, 0.25)
    top = sdf_box(c, -20, 4, 820, 160, 6)
    c.over(shade(col * vertical_gradient(c, np.array([1.2] * 3, np.float32),
                                         np.array([0.7] * 3, np.float32), 0, 88),
                 bevel(top, 6.0), 0.4), fill(top))
    trim = np.clip(1.0 - np.abs(c.y - 8.0) / 1.6, 0, 1)
    c.over(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 6, 10), trim)
    for x in range(16, 800, 64):
        stud = sdf_circle(c, x + 0.5, 8.5, 3.2)
        c.over((0, 0, 0), shadow_of(fill(stud), 1, 1, 0.8, 0.6))
        c.over(shade(np.broadcast_to(GOLD, c.rgb.shape), bevel(stud, 2.0), 0.7), fill(stud))
    # Screen y 5..59 behind the buttons: image rows 88 - y.
    inset_well(c, 158, 29, 650, 83, 14, colour=rgb("#17233c"))
    return c


def pictures(Picture):
    return [
        Picture("back.tga", back_tile, "menu: background tile, 128x128, scrolls and repeats",
                bits=24),
        Picture("menu_bgr.tga", emblem, "menu: centre emblem with the game's name"),
        Picture("stenkal.tga", functools.partial(_mode_wall, False, "Classic Mode",
                                                 "No time limit", 99, (54, 132, 154, 178), 96),
                "menu: left wall, classic mode sign and level selector"),
        Picture("stenkar.tga", functools.partial(_mode_wall, True, "Time Attack",
                                                 "Beat the clock", 716, (670, 129, 774, 175), 708),
                "menu: right wall, time attack sign and level selector"),
        Picture("menu_bgr_down.tga", menu_bottom, "menu: ledge under the menu buttons"),
        Picture("tavrolith_logo.tga", tavrolith_logo, "intro: the game's logo"),
        Picture("zelto_logo.tga", zelto_logo, "intro: the maker's logo"),
        Picture("Ind1.tga", functools.partial(dot, False), "intro: progress dot, unlit"),
        Picture("Ind2.tga", functools.partial(dot, True), "intro: progress dot, lit"),
        Picture("top_bar.tga", top_bar, "top bar strip, repeats every 256 px"),
        Picture("top_bar_logo.tga", top_bar_logo, "top bar: left end with the game's name"),
    ]
