#!/usr/bin/python3
# Writes one PNG showing every built picture on a checkerboard with its name, for
# review: contact_sheet.py --in DIR --out SHEET.png (DIR as written by make_pictures.py).
# With --beside DIR2X (the --scale 2 output) every picture drawn at both sizes is shown
# enlarged twice smoothly, as a big screen would show it, beside its picture drawn at
# twice the size;
# --only NAME... picks the pictures to show.
import argparse
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art import tga  # noqa: E402

SHEET_WIDTH = 1600
LABEL_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def checker(width, height, cell=8):
    ys, xs = np.mgrid[0:height, 0:width]
    on = ((xs // cell) + (ys // cell)) % 2 == 0
    img = np.where(on[..., None], np.uint8(170), np.uint8(120)).repeat(3, axis=2)
    return Image.fromarray(img.astype(np.uint8), "RGB")


def load_pictures(directory):
    """(label, RGBA image) for every .tga, and every frame of every .spt."""
    out = []
    pictures = os.path.join(directory, "pictures")
    frames = os.path.join(directory, "frames")
    for name in sorted(os.listdir(pictures), key=str.lower):
        if name.lower().endswith(".tga"):
            with open(os.path.join(pictures, name), "rb") as f:
                w, h, bits, _, _, rgba = tga.decode_tga(f.read())
            out.append(("%s %dx%d/%d" % (name, w, h, bits), Image.fromarray(rgba, "RGBA")))
    if os.path.isdir(frames):
        for name in sorted(os.listdir(frames), key=str.lower):
            with open(os.path.join(frames, name), "rb") as f:
                w, h, bits, _, _, rgba = tga.decode_tga(f.read())
            stem, _, number = os.path.splitext(name)[0].rpartition("_")
            out.append(("%s.spt frame %d" % (stem, int(number)), Image.fromarray(rgba, "RGBA")))
    return out


def layout(items, width, label_font):
    """Shelf packing in the given order; each cell is as wide as its picture or its
    label, whichever is wider."""
    placed, x, y, row_h = [], 8, 8, 0
    for label, img in items:
        w, h = img.size[0], img.size[1] + 14
        w = max(w, int(label_font.getlength(label)) + 4)
        if x + w > width - 8:
            x, y, row_h = 8, y + row_h + 10, 0
        placed.append((label, img, x, y))
        x += w + 10
        row_h = max(row_h, h)
    return placed, y + row_h + 8


def _key(label):
    """The picture (and frame) a label names, without its size."""
    words = label.split()
    return words[0].lower() + (" " + words[-1] if words[1] == "frame" else "")


def _pair(small, big):
    """The small picture enlarged to the big one's size, then the big one, side by side."""
    enlarged = small.resize(big.size, Image.BILINEAR)
    out = Image.new("RGBA", (big.size[0] * 2 + 6, big.size[1]), (0, 0, 0, 0))
    out.paste(enlarged, (0, 0))
    out.paste(big, (big.size[0] + 6, 0))
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--in", dest="src", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--beside")
    parser.add_argument("--only", nargs="*")
    args = parser.parse_args()
    items = load_pictures(args.src)
    if args.only:
        wanted = [n.lower() for n in args.only]
        items = [it for it in items if it[0].split()[0].lower() in wanted]
    if args.beside:
        big = {_key(label): img for label, img in load_pictures(args.beside)}
        items = [(label + " enlarged | drawn at 2x", _pair(img, big[_key(label)]))
                 for label, img in items if _key(label) in big]
    # Large pictures on their own rows at the end, small ones packed first.
    items.sort(key=lambda it: (it[1].size[1] > 140, it[0].lower()))
    label_font = ImageFont.truetype(LABEL_FONT, 10)
    placed, height = layout(items, SHEET_WIDTH, label_font)
    sheet = Image.new("RGB", (SHEET_WIDTH, height), (40, 44, 52))
    draw = ImageDraw.Draw(sheet)
    for label, img, x, y in placed:
        bg = checker(img.size[0], img.size[1])
        bg.paste(img, (0, 0), img)
        sheet.paste(bg, (x, y + 14))
        draw.text((x, y), label, fill=(235, 235, 235), font=label_font)
    sheet.save(args.out)
    print("contact sheet: %s (%d pictures)" % (args.out, len(items)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
