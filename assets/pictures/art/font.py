# The game font picture: a grid of 16-pixel cells, 16 to a row, holding the
# Latin-1 characters (rows 0 to 15) and the Latin Extended-A letters U+0100 to
# U+017F (rows 16 to 23, the Polish, Czech, Hungarian and Turkish letters among
# them), white, with the glyph's shape in the alpha channel; a cell's number is
# its letter's code. The game measures
# each glyph from the leftmost to the rightmost column with any alpha, so every glyph
# keeps one empty column at each edge of its cell, and faint edge pixels that would
# widen a glyph are dropped. Drawn with the game's metrics in mind: line height 15,
# space width 5, letter spacing 1.
#
# At scale 2 the picture is twice the size with 32-pixel cells, and each glyph keeps
# to its scale-1 columns doubled, so the widths the game measures on the scale-1
# picture, doubled, index it. Its letters are the outlines FreeType fits at the scale-1
# size, drawn at twice the size: the same shapes, sharp.
import ctypes
import functools

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


def _hinted_glyph(code, scale):
    """The letter's outline as FreeType fits it to the pixels of the scale-1 font
    size, enlarged by scale and drawn: the same shape as the scale-1 glyph with its
    strokes on the same (now finer) pixel edges, but sharp. Returns the coverage
    (uint8), the left bearing and the height above the baseline, in pixels."""
    import freetype  # python3-freetype, needed for the bigger scales only
    face = _face()
    face.load_char(chr(code), freetype.FT_LOAD_DEFAULT | freetype.FT_LOAD_NO_BITMAP)
    matrix = freetype.FT_Matrix(scale * 0x10000, 0, 0, scale * 0x10000)
    freetype.FT_Outline_Transform(ctypes.byref(face.glyph.outline._FT_Outline),
                                  ctypes.byref(matrix))
    face.glyph.render(freetype.FT_RENDER_MODE_NORMAL)
    bitmap = face.glyph.bitmap
    pixels = np.zeros((bitmap.rows, bitmap.width), np.uint8)
    if bitmap.rows and bitmap.width:
        raw = np.array(bitmap.buffer, np.uint8).reshape(bitmap.rows, bitmap.pitch)
        pixels = raw[:, :bitmap.width]
    return pixels, face.glyph.bitmap_left, face.glyph.bitmap_top


@functools.lru_cache(maxsize=1)
def _face():
    import freetype
    face = freetype.Face(SANS_BOLD)
    face.set_pixel_sizes(0, FONT_SIZE)
    return face


def _glyph_alpha_scaled(code, scale):
    """The glyph at a bigger scale, placed so that its ink lies inside the scale-1
    glyph's columns times the scale: the game measures the scale-1 picture, and those
    widths, multiplied, must index this one."""
    cell = CELL * scale
    out = np.zeros((cell, cell), np.uint8)
    small = glyph_alpha(code)
    small_cols = np.nonzero(small.max(axis=0))[0]
    if len(small_cols) == 0:
        return out
    box_left = small_cols[0] * scale
    box_width = (small_cols[-1] - small_cols[0] + 1) * scale
    top = 4 * scale
    pixels, left_bearing, above = _hinted_glyph(code, scale)
    a = np.zeros((cell * 2, cell * 3), np.uint8)
    y0 = (BASELINE + 4) * scale - above
    x0 = cell + left_bearing
    a[y0:y0 + pixels.shape[0], x0:x0 + pixels.shape[1]] = pixels
    a[a < MIN_ALPHA] = 0
    cols = np.nonzero(a.max(axis=0))[0]
    rows = np.nonzero(a.max(axis=1))[0]
    if rows[0] < top - 2 or rows[-1] >= top + cell + 2:
        raise ValueError("glyph %d does not fit its cell vertically" % code)
    a_cut = a[:, cols[0]:cols[-1] + 1]
    width = a_cut.shape[1]
    if width > box_width and _natural_width(code) > CELL - 2:
        # Squeezed into its cell at scale 1 too: squeeze it the same way.
        squeezed = Image.fromarray(a_cut).resize((box_width, a_cut.shape[0]), Image.LANCZOS)
        a_cut = np.asarray(squeezed, np.uint8).copy()
        a_cut[a_cut < MIN_ALPHA] = 0
        width = box_width
    # The finer drawing may reach a pixel further than the scale-1 glyph's columns
    # with faint edge pixels (cut there, as scale 1 drops faint pixels), and its
    # strokes may sit half a scale-1 pixel off: of the places around the box take
    # the one whose reduction comes closest to the scale-1 glyph.
    target = small.astype(np.float32)
    slack = abs(box_width - width) + scale
    best = None
    for shift in (0, -1, 1, -2, 2):
        first = top + shift
        if rows[0] < first or rows[-1] >= first + cell:
            continue
        block = a_cut[first:first + cell]
        for left in range(box_left - slack, box_left + slack + 1):
            trial = np.zeros((cell, cell * 3), np.uint8)
            trial[:, cell + left:cell + left + width] = block
            trial = trial[:, cell + box_left:cell + box_left + box_width]
            placed = np.zeros((cell, cell), np.uint8)
            placed[:, box_left:box_left + box_width] = trial
            reduced = placed.reshape(CELL, scale, CELL, scale).mean(axis=(1, 3))
            error = float(np.sum((reduced - target) ** 2))
            if best is None or error < best[0]:
                best = (error, placed)
    if best is None:
        raise ValueError("glyph %d does not fit its cell vertically" % code)
    return best[1]


def _natural_width(code):
    """Ink columns of the letter drawn at the scale-1 size before any squeezing."""
    pixels = _hinted_glyph(code, 1)[0]
    cols = np.nonzero((pixels >= MIN_ALPHA).max(axis=0))[0]
    return cols[-1] - cols[0] + 1 if len(cols) else 0


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
