# The game font picture: a grid of 16-pixel cells, 16 to a row, holding the
# Latin-1 characters (rows 0 to 15) and the Latin Extended-A letters U+0100 to
# U+017F (rows 16 to 23, the Polish, Czech, Hungarian and Turkish letters among
# them), white, with the glyph's shape in the alpha channel; a cell's number is
# its letter's code. The game measures
# each glyph from the leftmost to the rightmost column with any alpha, so every glyph
# keeps one empty column at each edge of its cell, and faint edge pixels that would
# widen a glyph are dropped. Drawn with the game's metrics in mind: line height 15,
# space width 5, letter spacing 1.
import numpy as np
from PIL import Image, ImageDraw

from . import core
from .core import SANS_BOLD, font

CELL = 16
BASELINE = 12  # baseline row inside a cell, counted from the cell's top
FONT_SIZE = 12
MIN_ALPHA = 24  # coverage below this (of 255) is dropped


ROWS = 24  # Latin-1, then Latin Extended-A


def _printable(code):
    return 33 <= code <= 126 or 161 <= code <= 0x17F


def glyph_alpha(code):
    """The glyph of one letter code as a CELL x CELL alpha array (uint8)."""
    out = np.zeros((CELL, CELL), np.uint8)
    if not _printable(code):
        return out
    ch = chr(code)
    f = font(SANS_BOLD, FONT_SIZE)
    img = Image.new("L", (CELL * 3, CELL * 2), 0)
    draw = ImageDraw.Draw(img)
    draw.text((CELL, BASELINE + 4), ch, fill=255, font=f, anchor="ls")
    a = np.asarray(img, np.uint8).copy()
    a[a < MIN_ALPHA] = 0
    cols = np.nonzero(a.max(axis=0))[0]
    rows = np.nonzero(a.max(axis=1))[0]
    if len(cols) == 0:
        return out
    left, right = cols[0], cols[-1]
    width = right - left + 1
    if width > CELL - 2:  # too wide for the cell: squeeze it
        glyph = Image.fromarray(a[:, left:right + 1]).resize((CELL - 2, a.shape[0]),
                                                             Image.LANCZOS)
        a_cut = np.asarray(glyph, np.uint8).copy()
        a_cut[a_cut < MIN_ALPHA] = 0
        width = CELL - 2
    else:
        a_cut = a[:, left:right + 1]
    top = 4  # the rendering placed the cell's top at row 4 of the scratch image
    block = a_cut[top:top + CELL]
    if rows[0] < top or rows[-1] >= top + CELL:
        raise ValueError("glyph %d does not fit its cell vertically" % code)
    out[:, 1:1 + width] = block[:, :width]
    return out


def _glyph_alpha_scaled(code, scale):
    """The glyph at a bigger scale: drawn at the scale's point size and placed so that
    its ink lies inside the scale-1 glyph's columns times the scale. The game measures
    the scale-1 picture, and those widths, multiplied, must index this one."""
    cell = CELL * scale
    out = np.zeros((cell, cell), np.uint8)
    small = glyph_alpha(code)
    small_cols = np.nonzero(small.max(axis=0))[0]
    if len(small_cols) == 0:
        return out
    box_left = small_cols[0] * scale
    box_width = (small_cols[-1] - small_cols[0] + 1) * scale
    f = font(SANS_BOLD, FONT_SIZE * scale)
    top = 4 * scale
    img = Image.new("L", (cell * 3, cell * 2), 0)
    ImageDraw.Draw(img).text((cell, (BASELINE + 4) * scale), chr(code), fill=255, font=f,
                             anchor="ls")
    a = np.asarray(img, np.uint8).copy()
    a[a < MIN_ALPHA] = 0
    cols = np.nonzero(a.max(axis=0))[0]
    rows = np.nonzero(a.max(axis=1))[0]
    if rows[0] < top or rows[-1] >= top + cell:
        raise ValueError("glyph %d does not fit its cell vertically" % code)
    a_cut = a[top:top + cell, cols[0]:cols[-1] + 1]
    width = a_cut.shape[1]
    if width > box_width:  # wider than the measured box: squeeze it in
        squeezed = Image.fromarray(a_cut).resize((box_width, cell), Image.LANCZOS)
        a_cut = np.asarray(squeezed, np.uint8).copy()
        a_cut[a_cut < MIN_ALPHA] = 0
        width = box_width
    left = box_left + (box_width - width) // 2
    out[:, left:left + width] = a_cut
    return out


def font_picture():
    """The whole font picture, 256 by 384 game units, RGBA, top row first."""
    scale = core.SCALE
    cell = CELL * scale
    rgba = np.zeros((cell * ROWS, cell * 16, 4), np.uint8)
    rgba[..., :3] = 255
    for code in range(16 * ROWS):
        row, col = code // 16, code % 16
        glyph = glyph_alpha(code) if scale == 1 else _glyph_alpha_scaled(code, scale)
        rgba[row * cell:(row + 1) * cell, col * cell:(col + 1) * cell, 3] = glyph
    return rgba
