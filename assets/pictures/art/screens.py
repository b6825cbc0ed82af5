# The dialogs (options, pause, game over, high scores, level complete with its six
# scrolls), the two illustrated help pages and the four tutorial cards. Pictures of
# pieces in them are drawn by the same code as the board's pieces.
import functools

import numpy as np

from .core import (SANS, SANS_BOLD, SERIF_BOLD, Canvas, bevel, draw_text, fill, font,
                   glow_of, rgb, scaled, sdf_box, sdf_circle, sdf_polyline, sdf_segment,
                   sdf_star, shade, shadow_of, vertical_gradient)
from . import effects, pieces, ui
from .theme import (CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, INK, PARCHMENT_DARK, STONE,
                    STONE_DARK, inset_well, parchment_colour, ribbon, stone_panel, title)

TEXT = rgb("#f4ead2")


def wrap(text, path, size, width):
    f = font(path, size)
    lines, line = [], ""
    for word in text.split():
        trial = (line + " " + word).strip()
        if f.getlength(trial) <= width or not line:
            line = trial
        else:
            lines.append(line)
            line = word
    if line:
        lines.append(line)
    return lines


def paragraph(c, text, x, y, width, size=13, colour=TEXT, path=SANS, leading=None):
    """Left-aligned wrapped text whose first line's middle is at y."""
    leading = leading or int(size * 1.35)
    lines = wrap(text, path, size, width)
    for i, line in enumerate(lines):
        draw_text(c, line, path, size, x, y + i * leading, colour, anchor="lm", shadow=0.8)
    return len(lines) * leading


def put_piece(c, kind, direction, x, y, size=50):
    p = pieces.piece(kind, direction)
    if size != 50:
        p = scaled(p, size, size)
    c.paste(p, int(x), int(y))


def turn_sign(c, cx, cy, r=9):
    """A curved arrow: 'turn it'."""
    import math
    pts = [(cx + r * math.cos(a), cy + r * math.sin(a))
           for a in np.linspace(math.pi * 1.1, math.pi * 2.35, 12)]
    d = sdf_polyline(c, pts, 1.6)
    ex, ey = pts[-1]
    head = [(ex + 5, ey - 2), (ex - 3, ey + 5), (ex - 3, ey - 5)]
    from .core import sdf_polygon
    d = np.minimum(d, sdf_polygon(c, head))
    c.over((0, 0, 0), shadow_of(fill(d), 1, 1, 0.8, 0.8))
    c.over(GOLD_LIGHT, fill(d))


def sparkle(c, cx, cy, r=7):
    d = sdf_star(c, cx, cy, r, r * 0.3, 4)
    c.over(rgb("#ffe080"), glow_of(fill(d), 2.0, 1.2))
    c.over((1, 1, 1), fill(d))


def line_glow(c, x0, y0, x1, y1):
    d = sdf_box(c, x0, y0, x1, y1, 10)
    ring = np.clip(1.0 - np.abs(d) / 2.0, 0, 1)
    c.over(rgb("#ffb347"), glow_of(ring, 2.5, 1.2))
    c.over(rgb("#fff6d8"), ring)


# ---- dialogs ------------------------------------------------------------------------

def options_window():
    c = Canvas(256, 256)
    stone_panel(c, 4, 8, 252, 252, seed=12)
    # The well reaches above the "Sound volume" label, whose top the game draws
    # 31 pixels below the picture's top; the title plaque is kept slim to match.
    inset_well(c, 18, 20, 238, 204, 10, colour=rgb("#1b2944"))
    ribbon(c, 64, 1, 192, 25, "Options", 16)
    return c


def pause_window():
    c = Canvas(256, 256)
    stone_panel(c, 4, 8, 252, 252, seed=13)
    ribbon(c, 48, 2, 208, 34, "Paused", 19)
    icon = Canvas(256, 256)
    effects.icon_pause(icon, 128, 62, "loop")
    c.paste(icon, 0, 0, 0.8)
    return c


def gameover_window():
    c = Canvas(256, 128)
    stone_panel(c, 4, 4, 252, 124, seed=14, base=rgb("#3a2438"))
    title(c, "Game Over", 128, 34, 26, rgb("#ffb08a"))
    for x, direction in ((16, "r"), (208, "l")):
        put_piece(c, "no", direction, x, 80, 32)
    return c


def hiscore_window():
    c = Canvas(512, 512)
    stone_panel(c, 12, 10, 500, 428, seed=15)
    ribbon(c, 150, 2, 362, 30, "High Scores", 18)
    inset_well(c, 186, 34, 326, 60, 8)
    for r in range(10):
        top = 545 - (452 - 30 * r + 22)
        d = sdf_box(c, 26, top, 486, top + 27, 6)
        colour = rgb("#31466c") if r % 2 == 0 else rgb("#263a5c")
        c.over(colour, fill(d) * 0.75)
        c.over(GOLD * 0.6, np.clip(1 - np.abs(d + 0.5), 0, 1) * 0.3)
    for r, colour in enumerate((rgb("#ffd34a"), rgb("#d8e0ea"), rgb("#d08a4a"))):
        top = 545 - (452 - 30 * r + 22)
        star = sdf_star(c, 25, top + 13.5, 6.5, 2.8, 5)
        c.over((0, 0, 0), shadow_of(fill(star), 1, 1, 0.8, 0.7))
        c.over(shade(np.broadcast_to(colour, c.rgb.shape), bevel(star, 1.5), 0.5), fill(star))
    return c


RC_TOP = 530  # screen y of the level-complete frame's top row
RC_LEFT = 371


def _parchment(c, screen_top):
    """Scroll paper in screen space (the frame and the scrolls line up exactly)."""
    col = parchment_colour(c, RC_LEFT, screen_top)
    edge = np.minimum(c.x, 256 - c.x)
    burn = np.clip(1.0 - (edge - 4) / 10.0, 0, 1)
    col = col * (1.0 - 0.35 * burn[..., None])
    paper = fill(-(edge - 5))
    c.over(col, paper)


def rc_window():
    """The level-complete frame: rollers at both ends of a blank scroll, a title on the
    upper roller and a plinth for the OK button."""
    c = Canvas(256, 460)
    paper = Canvas(256, 460)
    _parchment(paper, RC_TOP)
    c.paste(paper.crop(0, 30, 256, 380), 0, 30)
    for y0, y1 in ((4, 38), (398, 414)):
        d = sdf_box(c, 0, y0, 256, y1, (y1 - y0) / 2)
        c.over((0, 0, 0), shadow_of(fill(d), 1, 3, 2.0, 0.6))
        c.over(shade(vertical_gradient(c, rgb("#8a5a2a"), rgb("#3a2008"), y0, y1),
                     bevel(d, (y1 - y0) / 2.5), 0.6), fill(d))
        for x0 in (0, 240):
            cap = sdf_box(c, x0, y0 - 2, x0 + 16, y1 + 2, 5)
            c.over(shade(vertical_gradient(c, GOLD_LIGHT, GOLD_DARK, y0, y1), bevel(cap, 3.0),
                         0.7), fill(cap))
    title(c, "Level Complete", 128, 21, 18, GOLD_LIGHT, max_width=200)
    stone_panel(c, 40, 410, 216, 458, 12, seed=16, rim=3.0)
    return c


def papyrus(group):
    """One scroll of ten levels; the game shows it in bands from v = 0.28 down, one
    level per band, so each band holds that level's line."""
    c = Canvas(256, 512)
    screen_top = 495 + 0.28 * 512 * 37 / 36.864
    _parchment(c, screen_top)
    band = 0.072 * 512
    for i in range(10):
        y0 = 0.28 * 512 + band * i
        cy = y0 + band / 2
        level = group * 10 + i + 1
        draw_text(c, "Level %d" % level, SERIF_BOLD, 16, 36, cy, INK, anchor="lm", shadow=0)
        # A dotted ink line towards the seal.
        for x in range(128, 196, 6):
            c.over(INK, fill(sdf_circle(c, x, cy + 5, 0.9)) * 0.6)
        seal = sdf_circle(c, 216, cy, 12)
        c.over((0, 0, 0), shadow_of(fill(seal), 1, 1, 1.0, 0.4))
        c.over(shade(np.broadcast_to(rgb("#b02820"), c.rgb.shape), bevel(seal, 3.0), 0.6),
               fill(seal))
        star = sdf_star(c, 216, cy, 7, 3, 5)
        c.over(shade(np.broadcast_to(rgb("#7a120c"), c.rgb.shape), bevel(star, 1.2, "inset"), 0.7),
               fill(star))
        if i < 9:
            rule = np.clip(1.0 - np.abs(c.y - (y0 + band)) / 0.8, 0, 1)
            rule *= fill(-(np.minimum(c.x - 24, 232 - c.x)))
            c.over(PARCHMENT_DARK * 0.8, rule * 0.5)
    return c


# ---- help pages ---------------------------------------------------------------------

def _help_frame(heading):
    c = Canvas(512, 512)
    stone_panel(c, 8, 10, 504, 436, seed=17)
    ribbon(c, 146, 2, 366, 38, heading, 21)
    return c


def help_page_1():
    c = _help_frame("How to Play")
    x_text, width = 212, 272
    # 1: turning.
    y = 58
    put_piece(c, "blue", "r", 28, y)
    put_piece(c, "blue", "r", 80, y)
    put_piece(c, "blue", "u", 132, y)
    turn_sign(c, 176, y + 10)
    paragraph(c, "Click an arrow to turn it: the left button turns it clockwise, the right "
                 "button the other way.", x_text, y + 12, width)
    # 2: a line explodes.
    y = 132
    for i in range(3):
        put_piece(c, "red", "r", 28 + 52 * i, y)
    line_glow(c, 26, y + 1, 182, y + 49)
    sparkle(c, 186, y + 4)
    paragraph(c, "Three or more arrows of one colour in a line, all pointing along it, "
                 "explode.", x_text, y + 12, width)
    # 3: combos.
    y = 206
    for i in range(4):
        put_piece(c, "green", "d", 20 + 40 * i, y + 4, 40)
    draw_text(c, "Combo x4", SANS_BOLD, 13, 100, y + 56, rgb("#ffff40"), shadow=0.9)
    paragraph(c, "Longer lines score combos. Chains of lines score again and again.",
              x_text, y + 12, width)
    # 4: the goal.
    y = 282
    tube = Canvas(512, 512)
    for i in range(10):
        d = sdf_box(tube, 40 + 14 * i, y + 18, 52 + 14 * i, y + 34, 3)
        colour = rgb("#19b36a") if i < 7 else rgb("#1b2944")
        tube.over(colour, fill(d))
    c.paste(tube, 0, 0)
    draw_text(c, "70%", SANS_BOLD, 12, 110, y + 48, CREAM, shadow=0.9)
    paragraph(c, "Every exploded arrow fills the tube on the right. Fill it to complete the "
                 "level.", x_text, y + 12, width)
    # Shapes help colour-blind players.
    draw_text(c, "Blue pieces are round, red ones square, green ones eight-sided.", SANS, 11,
              256, 350, rgb("#c9d6ec"), shadow=0.8)
    return c


def help_page_2():
    c = _help_frame("Special Pieces")
    x_text, width = 150, 330
    rows = [
        (("bomb_red", "u"), "Bomb arrows blow up their four neighbours too."),
        (("rgb", "r"), "The rainbow arrow matches every colour; it joins any two colours in a line."),
        (("moln", "r"), "The lightning arrow clears its whole row or column."),
        (("no", "u"), "Stone arrows cannot be turned; they only match each other."),
    ]
    y = 50
    for (kind, direction), text in rows:
        put_piece(c, kind, direction, 60, y)
        paragraph(c, text, x_text, y + 25 - (7 if len(wrap(text, SANS, 13, width)) > 1 else 0),
                  width)
        y += 56
    # Magic symbols.
    for i in range(6):
        c.paste(effects.symbol(i, True), 24 + 34 * (i % 3), y + 2 + 34 * (i // 3))
    paragraph(c, "Pieces with a halo carry magic symbols. Collect all six for a big bonus.",
              x_text, y + 24, width)
    return c


# ---- tutorial cards -----------------------------------------------------------------

def _card(width, height, heading, size=17):
    c = Canvas(width, height)
    stone_panel(c, 3, 6, width - 3, height - 3, 12, seed=19)
    c.a *= 0.97
    half = min(width / 2 - 24, 150)
    ribbon(c, width / 2 - half, 0, width / 2 + half, 30, heading, size)
    return c


def hint_turn():
    """Level 1: turn the red arrow that completes a line of three along its direction."""
    c = _card(256, 128, "Turn an arrow")
    for i, d in enumerate("rru"):
        put_piece(c, "red", d, 12 + 34 * i, 38, 34)
    turn_sign(c, 112, 42, 8)
    shaft = sdf_polyline(c, [(130, 55), (142, 55)], 1.6)
    c.over(GOLD_LIGHT, fill(shaft))
    c.over(GOLD_LIGHT, fill(sdf_star(c, 146, 55, 5, 2, 3, 0.0)))
    for i in range(3):
        put_piece(c, "red", "r", 156 + 30 * i, 41, 30)
    line_glow(c, 155, 42, 246, 70)
    paragraph(c, "Line up three arrows that point along their line.", 14, 94, 232, 12)
    return c


def hint_combo():
    """Level 2: one turn joins five blue arrows into a combo."""
    c = _card(384, 256, "Longer lines, bigger combos", 18)
    for i in range(5):
        put_piece(c, "blue", "r", 42 + 60 * i, 52)
    line_glow(c, 40, 53, 334, 101)
    draw_text(c, "Combo x5", SANS_BOLD, 20, 192, 128, rgb("#ffff40"), shadow=0.9)
    draw_text(c, "+300", SANS_BOLD, 16, 192, 150, rgb("#ffff40"), shadow=0.9)
    paragraph(c, "Four or more arrows in one line score a combo. The longer the line, the "
                 "more points.", 30, 184, 324, 14)
    return c


def _blast_ring(c, x, y):
    ring = Canvas(c.w, c.h)
    r = np.hypot(ring.x - x - 25, ring.y - y - 25)
    ring.over(rgb("#ffa040"), np.clip(1.0 - np.abs(r - 27) / 2.0, 0, 1))
    c.paste(ring, 0, 0)


def hint_bomb():
    """Level 3: a bomb at the end of a line takes its neighbours along."""
    c = _card(384, 256, "Bombs")
    put_piece(c, "blue", "r", 60, 90)
    put_piece(c, "blue", "r", 120, 90)
    put_piece(c, "bomb_blue", "r", 180, 90)
    for x, y, kind, d in ((180, 38, "green", "u"), (180, 142, "red", "l"),
                          (240, 90, "green", "d")):
        put_piece(c, kind, d, x, y)
        _blast_ring(c, x, y)
    line_glow(c, 58, 91, 232, 139)
    paragraph(c, "A bomb in a line takes its four neighbours with it.", 30, 212, 324, 14)
    return c


def hint_wild():
    """Level 4: the wild arrow joins red and blue; the lightning arrow at the end of the
    line clears its whole row."""
    c = _card(384, 256, "Wild and lightning arrows", 18)
    for i, kind in enumerate(("red", "rgb", "blue", "moln")):
        put_piece(c, kind, "r", 28 + 52 * i, 60)
    line_glow(c, 26, 61, 234, 109)
    bolt = sdf_polyline(c, [(238, 85), (264, 77), (290, 92), (316, 79), (356, 86)], 2.2)
    c.over(rgb("#b080ff"), glow_of(fill(bolt), 3.0, 1.5))
    c.over((1, 1, 1), fill(bolt))
    paragraph(c, "The rainbow arrow matches any colour.", 30, 150, 324, 14)
    paragraph(c, "A lightning arrow in a line clears its whole row or column.", 30, 188, 324,
              14)
    return c


def help_page_keys():
    # The frame only: the game prints the keys and controller buttons on it.
    return _help_frame("Keys and Controller")


def pictures(Picture):
    out = [
        Picture("window_options.tga", options_window, "options dialog"),
        Picture("pause_window.tga", pause_window, "pause dialog"),
        Picture("gameover_window.tga", gameover_window, "game over dialog"),
        Picture("hiscore_window.tga", hiscore_window, "high scores dialog"),
        Picture("rc_window.tga", rc_window, "level complete dialog: scroll rollers and title"),
        Picture("Help_p1.tga", help_page_1, "help page 1: turning arrows, lines, combos, goal"),
        Picture("Help_p2.tga", help_page_2, "help page 2: bombs, wild, lightning, stone, symbols"),
        Picture("Help_p3.tga", help_page_keys, "help page 3: the frame of the keys page"),
        Picture("Hint.tga", hint_turn, "tutorial level 1: turn an arrow to complete a line"),
        Picture("Hint1.tga", hint_combo, "tutorial level 2: longer lines score combos"),
        Picture("Hint2.tga", hint_bomb, "tutorial level 3: bombs take their neighbours"),
        Picture("Hint3.tga", hint_wild, "tutorial level 4: wild and lightning arrows"),
    ]
    for g in range(6):
        out.append(Picture("papirus%d.tga" % (g + 1), functools.partial(papyrus, g),
                           "level complete scroll of levels %d to %d" % (g * 10 + 1, g * 10 + 10)))
    return out
