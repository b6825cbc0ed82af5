# Drawing primitives shared by every picture: a float RGBA canvas, shapes as signed
# distance fields (anti-aliased edges and bevels come from the distance), soft
# shading with the light from the top-left, blurs, tileable noise and text.
#
# Image coordinates: x to the right, y DOWN (row 0 is the top row), pixel centres at
# i + 0.5. Light comes from the top-left of the screen, which is (-x, -y) here.
#
# Every picture is drawn at a scale (SCALE pixels to one unit of the game's 800x600
# screen): the drawing code works in those units only, and the canvas, the blurs,
# shadows, bevels, noise and text turn units into pixels. Scale 1 keeps every
# computation exactly as it always was, so its pictures stay the same bytes.
import functools
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SANS_BOLD = FONT_DIR + "DejaVuSans-Bold.ttf"
SANS = FONT_DIR + "DejaVuSans.ttf"
SANS_CONDENSED_BOLD = FONT_DIR + "DejaVuSansCondensed-Bold.ttf"
SERIF_BOLD = FONT_DIR + "DejaVuSerif-Bold.ttf"
SERIF_CONDENSED_BOLD = FONT_DIR + "DejaVuSerifCondensed-Bold.ttf"

LIGHT = np.array([-0.55, -0.65, 0.52])
LIGHT = LIGHT / np.linalg.norm(LIGHT)

SCALE = 1  # pixels per game unit of the pictures being drawn (1 or 2)


def set_scale(scale):
    """Chooses the scale of every picture drawn from now on in this process."""
    global SCALE
    if scale not in (1, 2):
        raise ValueError("picture scale must be 1 or 2")
    SCALE = scale


def rgb(hex_colour):
    """'#rrggbb' -> float array in [0, 1]."""
    value = hex_colour.lstrip("#")
    return np.array([int(value[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)


def mix(a, b, t):
    return a + (b - a) * t


class Canvas:
    """Straight-alpha float picture; `over` composites paint on top of it. w and h are
    its size in game units, pw and ph in pixels; x and y hold every pixel centre in
    game units, so shapes come out the same at every scale."""

    def __init__(self, width, height, colour=None):
        self.w = width
        self.h = height
        self.pw = width * SCALE
        self.ph = height * SCALE
        self.rgb = np.zeros((self.ph, self.pw, 3), np.float32)
        self.a = np.zeros((self.ph, self.pw), np.float32)
        if colour is not None:
            self.rgb[:] = colour
            self.a[:] = 1.0
        ys, xs = np.mgrid[0:self.ph, 0:self.pw].astype(np.float32)
        if SCALE == 1:
            self.x = xs + 0.5
            self.y = ys + 0.5
        else:
            self.x = (xs + 0.5) / SCALE
            self.y = (ys + 0.5) / SCALE

    def over(self, colour, alpha):
        """Paints colour (an RGB triple or an (h, w, 3) array) with coverage alpha."""
        alpha = np.clip(np.asarray(alpha, np.float32), 0.0, 1.0)
        if alpha.ndim == 0:
            alpha = np.full((self.ph, self.pw), float(alpha), np.float32)
        colour = np.broadcast_to(np.asarray(colour, np.float32), self.rgb.shape)
        out_a = alpha + self.a * (1.0 - alpha)
        weight_src = alpha[..., None]
        weight_dst = (self.a * (1.0 - alpha))[..., None]
        safe = np.maximum(out_a, 1e-6)[..., None]
        self.rgb = (colour * weight_src + self.rgb * weight_dst) / safe
        self.a = out_a

    def add_glow(self, colour, amount):
        """Lightens the picture where it is already painted (for highlights)."""
        amount = np.clip(amount, 0.0, 1.0)[..., None]
        self.rgb = self.rgb + (np.asarray(colour, np.float32) - self.rgb) * amount

    def paste(self, other, left, top, opacity=1.0):
        """Composites another canvas with its top-left corner at (left, top), whole
        game units."""
        left, top = left * SCALE, top * SCALE
        x0, y0 = max(left, 0), max(top, 0)
        x1, y1 = min(left + other.pw, self.pw), min(top + other.ph, self.ph)
        if x0 >= x1 or y0 >= y1:
            return
        src_rgb = other.rgb[y0 - top:y1 - top, x0 - left:x1 - left]
        src_a = other.a[y0 - top:y1 - top, x0 - left:x1 - left] * opacity
        dst_rgb = self.rgb[y0:y1, x0:x1]
        dst_a = self.a[y0:y1, x0:x1]
        out_a = src_a + dst_a * (1.0 - src_a)
        safe = np.maximum(out_a, 1e-6)[..., None]
        self.rgb[y0:y1, x0:x1] = (src_rgb * src_a[..., None] +
                                  dst_rgb * (dst_a * (1.0 - src_a))[..., None]) / safe
        self.a[y0:y1, x0:x1] = out_a

    def crop(self, left, top, width, height):
        out = Canvas(width, height)
        out.paste(self, -left, -top)
        return out

    def to_rgba8(self):
        rgba = np.zeros((self.ph, self.pw, 4), np.float32)
        rgba[..., :3] = np.clip(self.rgb, 0.0, 1.0)
        rgba[..., 3] = np.clip(self.a, 0.0, 1.0)
        out = np.floor(rgba * 255.0 + 0.5).astype(np.uint8)
        out[out[..., 3] == 0, :3] = 0  # clean colour under full transparency
        return out


# ---- signed distance fields (negative inside) ------------------------------------

def sdf_circle(c, cx, cy, r):
    return np.hypot(c.x - cx, c.y - cy) - r


def sdf_ellipse(c, cx, cy, rx, ry):
    # Approximate but smooth enough for soft shapes.
    k = np.hypot((c.x - cx) / rx, (c.y - cy) / ry)
    return (k - 1.0) * min(rx, ry)


def sdf_box(c, x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    qx = np.abs(c.x - cx) - hx
    qy = np.abs(c.y - cy) - hy
    outside = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    inside = np.minimum(np.maximum(qx, qy), 0)
    return outside + inside - radius


def sdf_polygon(c, points):
    """Exact distance to a simple polygon given as [(x, y), ...]."""
    px, py = c.x, c.y
    pts = [(float(x), float(y)) for x, y in points]
    d = np.full(px.shape, np.inf, np.float32)
    sign = np.ones(px.shape, np.float32)
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[i - 1]
        ex, ey = bx - ax, by - ay
        wx, wy = px - ax, py - ay
        t = np.clip((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0, 1.0)
        dx, dy = wx - ex * t, wy - ey * t
        d = np.minimum(d, dx * dx + dy * dy)
        c1 = py >= ay
        c2 = py < by
        c3 = ex * wy > ey * wx
        flip = (c1 & c2 & c3) | (~c1 & ~c2 & ~c3)
        sign = np.where(flip, -sign, sign)
    return sign * np.sqrt(d)


def sdf_segment(c, ax, ay, bx, by, r):
    ex, ey = bx - ax, by - ay
    wx, wy = c.x - ax, c.y - ay
    t = np.clip((wx * ex + wy * ey) / max(ex * ex + ey * ey, 1e-9), 0.0, 1.0)
    return np.hypot(wx - ex * t, wy - ey * t) - r


def sdf_polyline(c, points, r):
    d = None
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        s = sdf_segment(c, ax, ay, bx, by, r)
        d = s if d is None else np.minimum(d, s)
    return d


def sdf_star(c, cx, cy, r_outer, r_inner, count, angle=-math.pi / 2):
    pts = []
    for i in range(count * 2):
        r = r_outer if i % 2 == 0 else r_inner
        a = angle + i * math.pi / count
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return sdf_polygon(c, pts)


def regular_polygon(cx, cy, r, count, angle=0.0):
    return [(cx + r * math.cos(angle + 2 * math.pi * i / count),
             cy + r * math.sin(angle + 2 * math.pi * i / count)) for i in range(count)]


def rotate_points(points, cx, cy, quarter_turns):
    """Turns points clockwise on screen by quarter turns around (cx, cy)."""
    out = []
    for x, y in points:
        dx, dy = x - cx, y - cy
        for _ in range(quarter_turns % 4):
            dx, dy = -dy, dx
        out.append((cx + dx, cy + dy))
    return out


def fill(d, soft=1.0):
    """Coverage of a shape from its distance, anti-aliased over about one pixel (soft
    is in pixels, the distance in game units)."""
    if SCALE != 1:
        d = d * SCALE
    return np.clip(0.5 - d / soft, 0.0, 1.0)


# ---- shading -----------------------------------------------------------------------

def bevel(d, width, profile="round"):
    """Lighting term in [-1, 1] of a bevelled shape lit from the top-left.

    0 on the flat top, positive on edges that face the light, negative on the others."""
    t = np.clip(-d / width, 0.0, 1.0)
    if profile == "round":
        height = np.sqrt(1.0 - (1.0 - t) ** 2)
    elif profile == "inset":
        height = -np.sqrt(1.0 - (1.0 - t) ** 2)
    else:
        height = t
    height = height * width
    if SCALE == 1:
        gy, gx = np.gradient(height.astype(np.float32))
    else:
        gy, gx = _unit_slopes(height.astype(np.float32))
    nz = np.ones_like(gx)
    norm = np.sqrt(gx * gx + gy * gy + nz * nz)
    lambert = (-gx * LIGHT[0] - gy * LIGHT[1] + nz * LIGHT[2]) / norm
    return np.clip((lambert - LIGHT[2]) / (1.0 - LIGHT[2]), -1.0, 1.0)


def _unit_slopes(height):
    """Slopes per game unit, taken across one game unit either side as at scale 1, so
    that a bevel keeps its light and shade: a finer difference would sharpen the narrow
    bevels into brighter and darker bands than the picture was drawn with."""
    s = SCALE
    padded = np.pad(height, s, mode="edge")
    gy = (padded[2 * s:, s:-s] - padded[:-2 * s, s:-s]) / 2.0
    gx = (padded[s:-s, 2 * s:] - padded[s:-s, :-2 * s]) / 2.0
    return gy, gx


def shade(colour, light, strength=0.55):
    """Colour array lit by a bevel term: towards white where lit, darker in shade."""
    colour = np.asarray(colour, np.float32)
    light = light[..., None]
    lit = colour + (1.0 - colour) * np.clip(light, 0, 1) * strength
    return lit * (1.0 + np.clip(light, -1, 0) * strength)


def vertical_gradient(c, top_colour, bottom_colour, y0=0.0, y1=None):
    y1 = c.h if y1 is None else y1
    t = np.clip((c.y - y0) / max(y1 - y0, 1e-6), 0.0, 1.0)[..., None]
    return top_colour + (bottom_colour - top_colour) * t


def diagonal_gradient(c, light_colour, dark_colour, x0, y0, x1, y1):
    """Light at (x0, y0) (the top-left), dark at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    t = ((c.x - x0) * dx + (c.y - y0) * dy) / (dx * dx + dy * dy)
    t = np.clip(t, 0.0, 1.0)[..., None]
    return light_colour + (dark_colour - light_colour) * t


# ---- blur and noise ------------------------------------------------------------------

def _box_blur_axis(a, radius, axis, wrap):
    if radius < 1:
        return a
    size = 2 * radius + 1
    if wrap:
        padded = np.concatenate([a.take(range(-radius, 0), axis=axis), a,
                                 a.take(range(0, radius + 1), axis=axis)], axis=axis)
    else:
        pad = [(0, 0)] * a.ndim
        pad[axis] = (radius, radius + 1)
        padded = np.pad(a, pad, mode="edge")
    s = np.cumsum(padded, axis=axis, dtype=np.float64)
    n = a.shape[axis]
    hi = s.take(range(size - 1, size - 1 + n), axis=axis)
    lo = np.concatenate([np.zeros_like(s.take([0], axis=axis)),
                         s.take(range(0, n - 1), axis=axis)], axis=axis)
    return ((hi - lo) / size).astype(np.float32)


def blur(a, sigma, wrap=False):
    """Close to a gaussian blur (three box passes) of a 2-D float picture-sized array;
    sigma in game units."""
    return _blur_pixels(a, sigma * SCALE, wrap)


def _blur_pixels(a, sigma, wrap=False):
    """blur with sigma in pixels."""
    if sigma <= 0:
        return a.astype(np.float32)
    radius = max(1, int(round(sigma * 1.1)))
    out = a.astype(np.float32)
    for _ in range(3):
        out = _box_blur_axis(out, radius, 0, wrap)
        out = _box_blur_axis(out, radius, 1, wrap)
    return out


def noise(width, height, scale, seed, wrap=True):
    """Smooth value noise in [0, 1]; with wrap it tiles seamlessly."""
    rng = np.random.RandomState(seed)
    base = rng.random_sample((height, width)).astype(np.float32)
    out = _blur_pixels(base, scale, wrap=wrap)
    lo, hi = float(out.min()), float(out.max())
    return (out - lo) / max(hi - lo, 1e-6)


def fractal_noise(width, height, seed, scales=(16, 6, 2), weights=(0.55, 0.3, 0.15),
                  wrap=True):
    """Noise of width by height game units (scales in game units) at the pixels of the
    current scale. It is made in game units and enlarged smoothly, so a bigger scale
    shows the same texture, not new grain."""
    out = np.zeros((height, width), np.float32)
    for i, (s, w) in enumerate(zip(scales, weights)):
        out += noise(width, height, s, seed + 101 * i, wrap) * w
    out = out / sum(weights)
    return out if SCALE == 1 else enlarge(out, SCALE, wrap)


def _enlarge_axis(a, axis, wrap):
    """Doubles an array along one axis by linear interpolation between pixel centres."""
    n = a.shape[axis]
    if wrap:
        before = np.roll(a, 1, axis=axis)
        after = np.roll(a, -1, axis=axis)
    else:
        before = a.take([0] + list(range(n - 1)), axis=axis)
        after = a.take(list(range(1, n)) + [n - 1], axis=axis)
    first = 0.75 * a + 0.25 * before
    second = 0.75 * a + 0.25 * after
    return np.stack([first, second], axis=axis + 1).reshape(
        a.shape[:axis] + (2 * n,) + a.shape[axis + 1:]).astype(np.float32)


def enlarge(a, factor, wrap=True):
    """A 2-D array enlarged by a power of two, smoothly (tileable when wrap is set)."""
    while factor > 1:
        a = _enlarge_axis(_enlarge_axis(a, 0, wrap), 1, wrap)
        factor //= 2
    return a


def shadow_of(alpha, dx, dy, sigma, strength):
    """A soft drop shadow (alpha array) of a shape, offset by (dx, dy) game units."""
    dx, dy = dx * SCALE, dy * SCALE
    moved = np.roll(np.roll(alpha, dy, axis=0), dx, axis=1)
    if dy > 0:
        moved[:dy] = 0
    if dx > 0:
        moved[:, :dx] = 0
    return np.clip(blur(moved, sigma) * strength, 0.0, 1.0)


def glow_of(alpha, sigma, strength):
    """A soft glow around a shape; it fades out before the picture's border so that
    it is never cut off in a visible straight line."""
    g = np.clip(blur(alpha, sigma) * strength, 0.0, 1.0)
    h, w = g.shape
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32) + 0.5
    border = np.minimum(np.minimum(xs, w - xs), np.minimum(ys, h - ys))
    if SCALE != 1:
        border = border / SCALE
    return g * np.clip(border / max(sigma * 1.5, 1.0), 0.0, 1.0)


# ---- text ----------------------------------------------------------------------------

@functools.lru_cache(maxsize=64)
def font(path, size):
    return ImageFont.truetype(path, size)


def text_size(text, path, size):
    f = font(path, size * 4)
    left, top, right, bottom = f.getbbox(text)
    return (right - left) / 4.0, (bottom - top) / 4.0


def fit_size(text, path, size, max_width):
    while size > 6 and text_size(text, path, size)[0] > max_width:
        size -= 1
    return size


def text_mask(c, text, path, size, x, y, anchor="mm", spacing=0):
    """Coverage of text drawn at 4x the pixels and reduced; (x, y) is placed by the PIL
    anchor. The letters are drawn at the scale's point size, not enlarged."""
    scale = 4 * SCALE
    if SCALE != 1:
        return _text_mask_near(c, text, font(path, size * scale), x * scale, y * scale,
                               anchor, spacing * scale, scale // SCALE)
    img = Image.new("L", (c.w * scale, c.h * scale), 0)
    draw = ImageDraw.Draw(img)
    draw.text((x * scale, y * scale), text, fill=255, font=font(path, size * scale),
              anchor=anchor, spacing=spacing * scale)
    small = img.resize((c.pw, c.ph), Image.BOX)
    return np.asarray(small, np.float32) / 255.0


def _text_mask_near(c, text, face, x, y, anchor, spacing, block):
    """text_mask drawn only around the text: a canvas-sized drawing at the finest
    resolution is large at scale 2 and mostly empty. The window starts on whole canvas
    pixels (block finest pixels each), so the reduction is the same as over the whole
    canvas."""
    mask = np.zeros((c.ph, c.pw), np.float32)
    box = ImageDraw.Draw(Image.new("L", (1, 1))).textbbox((x, y), text, font=face,
                                                          anchor=anchor, spacing=spacing)
    left = max(int(box[0] // block) - 1, 0)
    top = max(int(box[1] // block) - 1, 0)
    right = min(int(box[2] // block) + 2, c.pw)
    bottom = min(int(box[3] // block) + 2, c.ph)
    if left >= right or top >= bottom:
        return mask
    img = Image.new("L", ((right - left) * block, (bottom - top) * block), 0)
    ImageDraw.Draw(img).text((x - left * block, y - top * block), text, fill=255, font=face,
                             anchor=anchor, spacing=spacing)
    small = img.resize((right - left, bottom - top), Image.BOX)
    mask[top:bottom, left:right] = np.asarray(small, np.float32) / 255.0
    return mask


def draw_text(c, text, path, size, x, y, colour, anchor="mm", shadow=0.75,
              outline=None, glow=None, emboss=False):
    """Text with a soft shadow to the bottom-right (and optional outline or glow)."""
    m = text_mask(c, text, path, size, x, y, anchor)
    if glow is not None:
        c.over(glow[0], glow_of(m, glow[1], glow[2]))
    if shadow:
        c.over((0, 0, 0), shadow_of(m, 1, 1 if size < 20 else 2, 1.0 if size < 20 else 1.6,
                                    shadow * 1.6))
    if outline is not None:
        c.over(outline, np.clip(blur(m, 0.8) * 3.0, 0, 1))
    colour = np.asarray(colour, np.float32)
    if colour.ndim == 1 and emboss:
        top = np.clip(colour * 1.15 + 0.1, 0, 1)
        colour = vertical_gradient(c, top, colour * 0.8, y - size * 0.6, y + size * 0.5)
    c.over(colour, m)
    return m


def scaled(canvas, width, height):
    """A resized copy, width by height game units (premultiplied, so edges stay
    clean)."""
    pre = np.zeros((canvas.ph, canvas.pw, 4), np.float32)
    pre[..., :3] = canvas.rgb * canvas.a[..., None]
    pre[..., 3] = canvas.a
    channels = [Image.fromarray(pre[..., i]).resize((width * SCALE, height * SCALE),
                                                    Image.LANCZOS)
                for i in range(4)]
    arr = np.stack([np.asarray(ch, np.float32) for ch in channels], axis=-1)
    out = Canvas(width, height)
    out.a = np.clip(arr[..., 3], 0, 1)
    out.rgb = np.clip(arr[..., :3] / np.maximum(out.a, 1e-6)[..., None], 0, 1)
    return out
