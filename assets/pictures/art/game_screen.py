# The game screen around the board: the board tray, its gold frame and the stone
# walls (one master picture in screen space, cut into the four bevel pieces so they
# meet without seams), the left panel, the three text panels, the progress tube and
# the level-end banners.
import functools

import numpy as np

from .core import (SERIF_BOLD, SANS_BOLD, Canvas, bevel, blur, draw_text, fill,
                   fractal_noise, glow_of, rgb, sdf_box, sdf_circle, shade, shadow_of,
                   vertical_gradient)
from .pieces import soft_glow
from .theme import (CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, STONE, STONE_DARK, inset_well,
                    stone_texture, title)

WALL = rgb("#223350")
BOARD = (250, 50, 750, 550)  # screen rectangle of the cells, y up
FRAME = 7


def _img_y(screen_y):
    return 600 - screen_y


@functools.lru_cache(maxsize=1)
def master_frame():
    """The board frame and the walls right of the left panel, in screen space."""
    c = Canvas(800, 600)
    wall = stone_texture(c, 21, WALL, 0.25)
    outer = sdf_box(c, BOARD[0] - FRAME, _img_y(BOARD[3] + FRAME), BOARD[2] + FRAME,
                    _img_y(BOARD[1] - FRAME), 6)
    board_hole = sdf_box(c, BOARD[0], _img_y(BOARD[3]), BOARD[2], _img_y(BOARD[1]), 2)
    # Walls: everything right of x = 243 that is not inside the frame.
    wall_mask = fill(-(c.x - (BOARD[0] - FRAME) - 3)) * fill(-outer + 0.5)
    c.over(shade(wall, bevel(-outer, 5.0, "linear"), 0.25), wall_mask)
    # The symbol tray at the bottom and the groove of the progress tube on the right.
    inset_well(c, 336, _img_y(36), 650, _img_y(-2), 8)
    inset_well(c, 765, _img_y(555), 799, _img_y(37), 8)
    # Gold frame ring with a shadow falling onto the board (light from the top-left).
    ring = np.maximum(outer, -board_hole)
    c.over((0, 0, 0), shadow_of(fill(ring), 2, 3, 3.0, 0.6) * fill(board_hole))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 40, 560), bevel(ring, 3.5), 0.7),
           fill(ring))
    c.over((0, 0, 0), shadow_of(fill(outer), 3, 3, 3.0, 0.5) * (1 - fill(outer)) *
           fill(-(c.x - 240)))
    return c


def _cut(screen_x, screen_y, width, height):
    """The part of the master picture whose bottom-left corner is (screen_x, screen_y)."""
    return master_frame().crop(screen_x, 600 - (screen_y + height), width, height)


def board_tray():
    """panel.tga: the frame ring and a translucent well for each cell."""
    c = _cut(243, 43, 514, 514)
    inside = Canvas(514, 514)
    for cx in range(10):
        for cy in range(10):
            x0 = 7 + 50 * cx
            y0 = 7 + 50 * (9 - cy)
            d = sdf_box(inside, x0 + 1.5, y0 + 1.5, x0 + 48.5, y0 + 48.5, 7)
            shade_amount = 0.42 if (cx + cy) % 2 == 0 else 0.52
            inside.over(rgb("#0b1428"), fill(d) * shade_amount)
            edge = np.clip(1.0 - np.abs(d + 0.6) / 1.0, 0, 1)
            inside.over(rgb("#6f8fc0"), edge * 0.25 * (inside.y - y0 > 24))
            inside.over(rgb("#000000"), edge * 0.35 * (inside.y - y0 <= 24))
    c.paste(inside, 0, 0)
    return c


def game_back():
    """Deep blue board background with a faint lattice, behind the translucent tray."""
    c = Canvas(400, 400)
    n = fractal_noise(400, 400, 33, scales=(30, 10, 3), weights=(0.5, 0.3, 0.2))
    r = np.hypot(c.x - 170, c.y - 150) / 300
    base = rgb("#1e3a6a") * (1.15 - 0.5 * np.clip(r, 0, 1))[..., None]
    col = base * (0.85 + 0.3 * n[..., None])
    lattice = (np.abs(((c.x + c.y) % 40) - 20) < 0.8) | (np.abs(((c.x - c.y) % 40) - 20) < 0.8)
    col = col * (1 + 0.12 * lattice[..., None])
    c.over(col, 1.0)
    return c


def left_panel():
    """Stone blocks for the left column, repeating every 230 pixels downwards."""
    c = Canvas(244, 230)
    seam = sdf_box(c, -10, 3, 254, 227, 6)
    col = shade(stone_texture(c, 41, WALL, 0.25), bevel(seam, 5.0), 0.35)
    c.over(col, 1.0)
    c.over(rgb("#0a1222"), np.clip(1.0 - np.abs(seam) / 1.2, 0, 1) * 0.6)
    return c


def text_panel(caption):
    """A score, level or time panel: caption, a dark well for the value (drawn by the
    game 20 pixels right of the panel's left screen edge + 3) and a socket for the
    icon the game draws at screen x 150."""
    c = Canvas(256, 64)
    d = sdf_box(c, 2, 14, 224, 62, 10)
    c.over((0, 0, 0), shadow_of(fill(d), 2, 3, 2.5, 0.6))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 14, 62), bevel(d, 3.0), 0.7), fill(d))
    inner = d + 3
    body = stone_texture(c, 9, STONE, 0.18)
    c.over(shade(body * vertical_gradient(c, np.array([1.2] * 3, np.float32),
                                          np.array([0.8] * 3, np.float32), 14, 62),
                 bevel(inner, 3.0), 0.4), fill(inner))
    inset_well(c, 8, 37, 128, 60, 5)
    socket = sdf_circle(c, 154, 41, 18)
    c.over(shade(np.broadcast_to(STONE_DARK, c.rgb.shape), bevel(socket, 3.0, "inset"), 0.6),
           fill(socket) * 0.9)
    ring = np.clip(1.0 - np.abs(socket + 0.5), 0, 1)
    c.over(GOLD, ring * 0.6)
    draw_text(c, caption, SERIF_BOLD, 11, 12, 27, GOLD_LIGHT, anchor="lm", shadow=0.9)
    return c


def indicator(filled):
    """The progress tube, 128 by 512, its glass in the middle columns (screen x about
    770 to 794). The fill is the same from top to bottom, so it can be cut at any
    height."""
    c = Canvas(128, 512)
    x0, x1 = 53, 75
    glass = np.clip(1.0 - np.abs(c.x - 64) / 11.5, 0, 1) > 0
    u = np.clip((c.x - x0) / (x1 - x0), 0, 1)
    edge = fill(np.abs(c.x - 64) - 11)
    if filled:
        core = np.clip(1.0 - np.abs(u - 0.42) * 2.0, 0, 1)
        col = rgb("#19b36a") * (0.55 + 0.6 * core[..., None]) + rgb("#c8ffb0") * \
            (core ** 6)[..., None] * 0.6
        c.over(col, edge)
    else:
        col = rgb("#0c1830") * (0.7 + 0.5 * np.clip(1 - np.abs(u - 0.5) * 2, 0, 1))[..., None]
        c.over(col, edge * 0.92)
        # Measure marks every tenth of the height.
        marks = (np.abs((np.floor(c.y) % 51.2)) < 1.0) & (np.abs(c.x - 64) < 5)
        c.over(rgb("#5a78a8"), marks.astype(np.float32) * 0.7)
    hl = np.clip(1.0 - np.abs(c.x - 58) / 2.0, 0, 1)
    c.add_glow((1, 1, 1), hl * 0.35 * edge)
    rim = np.clip(1.0 - np.abs(np.abs(c.x - 64) - 11.5) / 1.0, 0, 1)
    c.over(GOLD_LIGHT * 0.9, rim * 0.8)
    return c


def banner(text, colour, glow_only=False):
    c = Canvas(256, 64)
    probe = Canvas(256, 64)
    m = draw_text(probe, text, SERIF_BOLD, 30, 128, 32, colour, shadow=0)
    if glow_only:
        c.over(colour, glow_of(m, 5.0, 1.6))
        return c
    title(c, text, 128, 32, 30, colour, max_width=240)
    return c


def panel_top():
    c = Canvas(256, 16)
    d = sdf_box(c, 2, 3, 254, 13, 5)
    c.over((0, 0, 0), shadow_of(fill(d), 1, 2, 1.5, 0.5))
    c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, 3, 13), bevel(d, 3.0), 0.7), fill(d))
    return c


def black_line():
    return Canvas(750, 4, rgb("#000000"))


def pictures(Picture):
    return [
        Picture("game_back.tga", game_back, "game: board background, drawn 1.25x under the tray",
                bits=24),
        Picture("panel.tga", board_tray, "game: board tray with the frame and a well per cell"),
        Picture("gamebavel_up.tga", lambda: _cut(243, 547, 557, 16),
                "game: frame and wall above the board"),
        Picture("gamebavel_down.tga", lambda: _cut(243, -77, 557, 128),
                "game: frame and wall below the board, with the symbol tray"),
        Picture("gamebavel_left.tga", lambda: _cut(123, 43, 128, 514),
                "game: left edge of the board frame"),
        Picture("gamebavel_right.tga", lambda: _cut(748, 43, 52, 514),
                "game: right edge of the frame and the wall holding the progress tube"),
        Picture("left_panel.tga", left_panel, "game: left column stone, repeats every 230 px",
                bits=24),
        Picture("score_panel.tga", functools.partial(text_panel, "SCORE"), "game: score panel"),
        Picture("round_panel.tga", functools.partial(text_panel, "LEVEL"), "game: level panel"),
        Picture("time_panel.tga", functools.partial(text_panel, "TIME"), "game: time panel"),
        Picture("Indicator1.tga", functools.partial(indicator, False),
                "game: empty progress tube"),
        Picture("Indicator2.tga", functools.partial(indicator, True),
                "game: progress tube filling, drawn up to the progress"),
        Picture("lc1.tga", functools.partial(banner, "Level Complete", GOLD_LIGHT),
                "game: level complete banner"),
        Picture("lc2.tga", functools.partial(banner, "Level Complete", rgb("#ffc040"), True),
                "game: glow behind the level complete banner (additive)"),
        Picture("go1.tga", functools.partial(banner, "Game Over", rgb("#ff9070")),
                "game: game over banner"),
        Picture("go2.tga", functools.partial(banner, "Game Over", rgb("#ff5030"), True),
                "game: glow behind the game over banner (additive)"),
        Picture("panel_top.tga", panel_top, "game: gold cap bar for panels"),
        Picture("black_line.tga", black_line, "game: black line under the screen's bottom edge",
                bits=24),
    ]
