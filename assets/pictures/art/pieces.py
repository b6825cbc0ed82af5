# The nine piece kinds, each in four directions, their outline flashes, debris and
# glows. Every kind is told apart by shape as well as colour, for colour-blind
# players: blue pieces are round, red ones square, green ones octagonal; bombs carry
# a dark bomb body with a burning fuse; the wild rgb arrow is a three-sector disc with
# a star; the lightning arrow is a zig-zag bolt; the immovable no-arrow is a riveted
# stone block with an engraved arrow.
import math

import numpy as np

from .core import (Canvas, bevel, blur, fill, fractal_noise, glow_of, regular_polygon,
                   rgb, rotate_points, sdf_box, sdf_circle, sdf_polygon, sdf_polyline,
                   sdf_star, shade, shadow_of, diagonal_gradient)

SIZE = 50
CENTRE = 25.0
DIRECTIONS = "urdl"  # up, right, down, left = quarter turns clockwise

COLOURS = {
    "blue": rgb("#2f7fe6"),
    "red": rgb("#e0413a"),
    "green": rgb("#36b24a"),
    "moln": rgb("#6a3fc8"),
    "no": rgb("#8c8f96"),
}
ARROW_WHITE = rgb("#fffaf0")


def arrow_points(turns, length=1.0):
    """Block arrow pointing up (then turned), centred in the cell."""
    pts = [(0, -16), (12, -2), (5, -2), (5, 15), (-5, 15), (-5, -2), (-12, -2)]
    pts = [(CENTRE + x * length, CENTRE + y * length) for x, y in pts]
    return rotate_points(pts, CENTRE, CENTRE, turns)


def bolt_points(turns):
    """Lightning-bolt arrow pointing up: an arrow head on a zig-zag shaft."""
    pts = [(0, -19), (12, -5), (4, -5), (9, 5), (2, 5), (5, 19), (-8, 1), (-1, 1),
           (-5, -5), (-12, -5)]
    pts = [(CENTRE + x, CENTRE + y) for x, y in pts]
    return rotate_points(pts, CENTRE, CENTRE, turns)


def tile_sdf(c, group, ox=0.0, oy=0.0):
    cx, cy = CENTRE + ox, CENTRE + oy
    if group == "blue" or group == "rgb":
        return sdf_circle(c, cx, cy, 22.5)
    if group == "green":
        return sdf_polygon(c, regular_polygon(cx, cy, 23.0, 8, math.pi / 8)) - 1.5
    if group == "no":
        return sdf_box(c, cx - 22, cy - 22, cx + 22, cy + 22, 4)
    return sdf_box(c, cx - 21.5, cy - 21.5, cx + 21.5, cy + 21.5, 8)  # red, moln


def _tile(c, group, base, d):
    """A bevelled glossy tile of the given shape."""
    c.over((0, 0, 0), shadow_of(fill(d), 1, 2, 1.5, 0.55))
    light = bevel(d, 5.0)
    body = diagonal_gradient(c, np.clip(base * 1.25 + 0.06, 0, 1), base * 0.72, 8, 6, 42, 46)
    colour = shade(body, light, 0.6)
    c.over(colour, fill(d))
    # Glossy reflection in the upper-left part.
    gloss = fill(sdf_circle(c, 20, 15, 15)) * fill(d + 4) * 0.22
    c.add_glow((1, 1, 1), gloss * np.clip((30 - c.y) / 20, 0, 1))
    # A thin dark rim keeps the tile readable on any background.
    rim = np.clip(1.0 - np.abs(d + 0.5) / 1.0, 0, 1) * 0.45
    c.over(base * 0.35, rim)


def _arrow(c, points, colour, outline=(0.08, 0.08, 0.12), emboss=True):
    d = sdf_polygon(c, points)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 2, 1.2, 0.55))
    c.over(outline, fill(d - 1.3) * 0.65)
    light = bevel(d, 2.5) if emboss else np.zeros_like(d)
    c.over(shade(np.broadcast_to(colour, c.rgb.shape), light, 0.5), fill(d))
    return d


def _bomb_body(c):
    d = sdf_circle(c, CENTRE, CENTRE + 1, 16.5)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 1.2, 0.6))
    body = shade(np.broadcast_to(rgb("#2b2b33"), c.rgb.shape), bevel(d, 6.0), 0.55)
    c.over(body, fill(d))
    # Fuse cap and burning fuse to the top-right corner.
    cap = sdf_box(c, 33, 9, 40, 16, 1.5)
    c.over(shade(np.broadcast_to(rgb("#8a8f99"), c.rgb.shape), bevel(cap, 2.0), 0.6), fill(cap))
    fuse = sdf_polyline(c, [(38, 10), (41, 6), (44, 5)], 1.1)
    c.over(rgb("#c8a060"), fill(fuse))
    spark = sdf_star(c, 45, 5, 5.5, 2.0, 6, 0.2)
    c.over(rgb("#ffb020"), glow_of(fill(spark), 2.0, 1.5))
    c.over(rgb("#fff2a0"), fill(spark))


def piece(kind, direction):
    """kind: blue, red, green, bomb_blue, bomb_red, bomb_green, rgb, moln or no."""
    turns = DIRECTIONS.index(direction)
    c = Canvas(SIZE, SIZE)
    bomb = kind.startswith("bomb_")
    group = kind[5:] if bomb else kind
    d = tile_sdf(c, group)
    if group == "rgb":
        _tile(c, "rgb", rgb("#808080"), d)
        # Three coloured sectors, each shaded like a tile, with light seams between.
        angle = np.arctan2(c.y - CENTRE, c.x - CENTRE)
        light = bevel(d, 5.0)
        for i, name in enumerate(("red", "green", "blue")):
            a0 = -math.pi / 2 + i * 2 * math.pi / 3
            rel = np.mod(angle - a0, 2 * math.pi)
            sector = np.clip(np.minimum(rel, 2 * math.pi / 3 - rel) * 11.0, 0, 1)
            sector = sector * (rel < 2 * math.pi / 3)
            colour = shade(diagonal_gradient(c, np.clip(COLOURS[name] * 1.2 + 0.05, 0, 1),
                                             COLOURS[name] * 0.75, 8, 6, 42, 46), light, 0.6)
            c.over(colour, fill(d + 1.2) * sector)
        c.add_glow((1, 1, 1), fill(sdf_circle(c, 20, 15, 14)) * fill(d + 4) * 0.2)
        hub = sdf_circle(c, CENTRE, CENTRE, 7)
        c.over((1, 1, 1), fill(hub) * 0.35)
        _arrow(c, arrow_points(turns, 0.95), ARROW_WHITE)
        star = sdf_star(c, 41, 9, 6.5, 2.6, 4, -math.pi / 2)
        c.over(rgb("#ffffff"), glow_of(fill(star), 1.5, 1.2))
        c.over(rgb("#fffbe0"), fill(star))
    elif group == "moln":
        _tile(c, "moln", COLOURS["moln"], d)
        glow = glow_of(fill(sdf_polygon(c, bolt_points(turns))), 2.5, 1.6)
        c.over(rgb("#ffe680"), glow * 0.55)
        _arrow(c, bolt_points(turns), rgb("#ffd43a"), outline=(0.25, 0.12, 0.02))
    elif group == "no":
        base = COLOURS["no"]
        c.over((0, 0, 0), shadow_of(fill(d), 1, 2, 1.5, 0.6))
        grain = fractal_noise(SIZE, SIZE, 77, scales=(3, 1.2), weights=(0.6, 0.4))
        body = diagonal_gradient(c, base * 1.15, base * 0.7, 6, 6, 44, 44)
        body = body * (0.85 + 0.3 * grain[..., None])
        c.over(shade(body, bevel(d, 4.0, "linear"), 0.55), fill(d))
        # Engraved arrow: pressed into the stone, so lit on its lower-right inner side.
        ad = sdf_polygon(c, arrow_points(turns, 0.9))
        c.over(base * 0.45, fill(ad) * 0.85)
        c.over(shade(np.broadcast_to(base * 0.6, c.rgb.shape), bevel(ad, 2.0, "inset"), 0.7),
               fill(ad + 1.0))
        for rx, ry in ((8, 8), (42, 8), (8, 42), (42, 42)):
            rivet = sdf_circle(c, rx, ry, 2.6)
            c.over((0, 0, 0), shadow_of(fill(rivet), 1, 1, 0.8, 0.6))
            c.over(shade(np.broadcast_to(rgb("#b9bcc4"), c.rgb.shape), bevel(rivet, 2.0), 0.7),
                   fill(rivet))
        rim = np.clip(1.0 - np.abs(d + 0.5), 0, 1) * 0.5
        c.over(rgb("#303236"), rim)
    else:
        base = COLOURS[group]
        _tile(c, group, base, d)
        if bomb:
            _bomb_body(c)
            _arrow(c, arrow_points(turns, 0.82), np.clip(base * 1.2 + 0.12, 0, 1),
                   outline=(0.95, 0.95, 0.9))
        else:
            _arrow(c, arrow_points(turns), ARROW_WHITE)
    return c


def outline_arrow(direction):
    """The flash shown over a cell: a glowing outline of the cell and its arrow, in the
    lower-left 50 by 50 of a 64 by 64 picture, drawn additively."""
    turns = DIRECTIONS.index(direction)
    c = Canvas(64, 64)
    cell = Canvas(SIZE, SIZE)
    ad = sdf_polygon(cell, arrow_points(turns))
    ring = np.clip(1.0 - np.abs(ad) / 1.6, 0, 1)
    td = sdf_box(cell, 3, 3, 47, 47, 9)
    ring = np.maximum(ring, np.clip(1.0 - np.abs(td) / 1.6, 0, 1))
    halo = glow_of(ring, 2.2, 1.4)
    cell.over(rgb("#ffb347"), halo)
    cell.over(rgb("#fff6d8"), ring)
    c.paste(cell, 0, 64 - SIZE)
    return c


def debris(colour_name, which):
    """A shard of a broken piece: 1 is the arrow head, 2 a piece of the tile rim."""
    c = Canvas(24, 24)
    base = COLOURS[colour_name]
    if which == 1:
        pts = [(12, 2), (22, 14), (15, 14), (15, 20), (9, 20), (9, 14), (2, 14)]
        d = sdf_polygon(c, pts)
        c.over(shade(np.broadcast_to(base, c.rgb.shape), bevel(d, 3.0), 0.6), fill(d))
        inner = sdf_polygon(c, [(12, 7), (17, 12.5), (7, 12.5)])
        c.over(ARROW_WHITE, fill(inner) * 0.9)
    else:
        pts = [(3, 6), (14, 2), (21, 9), (17, 20), (7, 17)]
        d = sdf_polygon(c, pts)
        c.over(shade(np.broadcast_to(base, c.rgb.shape), bevel(d, 3.5), 0.65), fill(d))
    rim = np.clip(1.0 - np.abs(d + 0.4), 0, 1) * 0.5
    c.over(base * 0.3, rim)
    return c


def soft_glow(size, colour, core=0.18, falloff=2.2):
    """A round glow, brightest in the centre, for additive drawing."""
    c = Canvas(size, size)
    r = np.hypot(c.x - size / 2, c.y - size / 2) / (size / 2)
    a = np.clip(1.0 - r, 0, 1) ** falloff
    a = np.maximum(a, np.clip(1.0 - r / core, 0, 1))
    c.over(colour, a)
    return c


def rayed_glow(size, colour, rays, seed_twist=0.0):
    """A glow with soft rays (turned by the game while drawn)."""
    c = Canvas(size, size)
    dx, dy = c.x - size / 2, c.y - size / 2
    r = np.hypot(dx, dy) / (size / 2)
    ang = np.arctan2(dy, dx)
    ray = (0.5 + 0.5 * np.cos(ang * rays + seed_twist)) ** 6
    a = np.clip(1.0 - r, 0, 1) ** 2.0 * (0.35 + 0.65 * ray) + np.clip(1.0 - r / 0.25, 0, 1)
    c.over(colour, np.clip(a, 0, 1))
    return c


def bolt_strip(width, height, colour, core_width):
    """A band for lightning bolts: a hot white core with a coloured glow across it.
    The picture is stretched along every segment of the bolt (u along, v across)."""
    c = Canvas(width, height)
    v = np.abs(c.y - height / 2) / (height / 2)
    glow = np.clip(1.0 - v, 0, 1) ** 1.6
    core = np.clip(1.0 - v / core_width, 0, 1) ** 0.8
    c.over(colour, glow)
    c.over((1, 1, 1), core)
    return c
