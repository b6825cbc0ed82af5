#!/usr/bin/python3
# Draws every picture of the game and packs them into the data package.
#
#   make_pictures.py --out DIR --manifest MANIFEST [--pkgtool PKGTOOL --pkg OUT.pkg]
#                    [--only NAME...] [--write-manifest] [--jobs N] [--scale 1|2]
#
# Writes DIR/pictures/*.tga and *.spt (the .spt picture lists are built by pkgtool from
# frames in DIR/frames/), checks every picture against the manifest's picture rows
# (name, size, depth) and packs DIR/pictures/ in name order into OUT.pkg. The output
# depends only on the sources: fixed seeds, no time stamps, sorted inputs.
#
# --scale 2 draws the same .tga pictures from the same code with every length doubled,
# for sharp pictures on big screens: the same names, twice the manifest's width and
# height. The .spt picture lists, whose sizes the game reads in screen units, and the
# manifest stay at scale 1 only.
import argparse
import multiprocessing
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art import catalogue, core, tga  # noqa: E402

SOUNDS_LINE = "# --- sounds ---"


def read_manifest(path):
    """{lower-case name: (name, width, height, bits)} from the picture rows."""
    rows = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip() == SOUNDS_LINE:
                break
            parts = line.split()
            if len(parts) >= 4 and parts[0] == "picture":
                width, height = (int(v) for v in parts[2].split("x"))
                rows[parts[1].lower()] = (parts[1], width, height, int(parts[3]))
    return rows


def write_manifest(path, entries):
    """Rewrites the picture rows above the sounds line and keeps everything below it."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    head, sep, tail = text.partition(SOUNDS_LINE)
    if not sep:
        head, tail = text, "\n"
    header = [line for line in head.splitlines() if line.startswith("#")]
    rows = ["picture %-28s %4dx%-4d %d  %s" % e for e in entries]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(header) + "\n\n" + "\n".join(rows) + "\n\n" + SOUNDS_LINE + tail)


def to_rgba(result):
    return result.to_rgba8() if hasattr(result, "to_rgba8") else result


_PICTURES = []


def _draw(index):
    """Draws one picture of _PICTURES: (width, height, [TGA bytes of each frame])."""
    pic = _PICTURES[index]
    frames = [pic.draw()] if pic.frames is None else pic.frames()
    frames = [to_rgba(f) for f in frames]
    height, width = frames[0].shape[:2]
    return width, height, [tga.encode_tga(f, pic.bits) for f in frames]


def build(args):
    core.set_scale(args.scale)
    pictures = catalogue.all_pictures()
    if args.scale != 1:
        pictures = [p for p in pictures if p.frames is None]
    if args.only:
        wanted = {n.lower() for n in args.only}
        pictures = [p for p in pictures if p.name.lower() in wanted]
    out_dir = os.path.join(args.out, "pictures")
    frame_dir = os.path.join(args.out, "frames")
    if not args.only:
        for d in (out_dir, frame_dir):
            shutil.rmtree(d, ignore_errors=True)
    os.makedirs(out_dir, exist_ok=True)
    os.makedirs(frame_dir, exist_ok=True)
    entries = []
    _PICTURES[:] = pictures
    jobs = max(1, min(args.jobs, len(pictures)))
    if jobs > 1:
        with multiprocessing.get_context("fork").Pool(jobs) as pool:
            drawn = pool.map(_draw, range(len(pictures)), chunksize=1)
    else:
        drawn = [_draw(i) for i in range(len(pictures))]
    for pic, (width, height, files) in zip(pictures, drawn):
        path = os.path.join(out_dir, pic.name)
        if pic.frames is None:
            with open(path, "wb") as f:
                f.write(files[0])
        else:
            stem = os.path.splitext(pic.name)[0]
            names = []
            for i, data in enumerate(files):
                name = os.path.join(frame_dir, "%s_%02d.tga" % (stem, i))
                with open(name, "wb") as f:
                    f.write(data)
                names.append(name)
            if args.pkgtool:
                subprocess.check_call([args.pkgtool, "spt", path, "--duration",
                                       "%g" % pic.duration, "--action", "Loop"] + names)
        entries.append((pic.name, width, height, pic.bits, pic.purpose))
    if args.write_manifest and args.scale != 1:
        print("make_pictures: the manifest is written at scale 1 only", file=sys.stderr)
        return 1
    if args.write_manifest:
        write_manifest(args.manifest, entries)
    problems = []
    if args.manifest and not args.write_manifest:
        rows = read_manifest(args.manifest)
        for name, width, height, bits, _ in entries:
            row = rows.get(name.lower())
            if row is None:
                problems.append("%s: no row in the manifest" % name)
            elif (width, height, bits) != (row[1] * args.scale, row[2] * args.scale, row[3]):
                problems.append("%s: drawn %dx%d %d-bit at scale %d, manifest says %dx%d %d-bit"
                                % (name, width, height, bits, args.scale, row[1], row[2],
                                   row[3]))
        if not args.only:
            drawn = {e[0].lower() for e in entries}
            for key, row in sorted(rows.items()):
                if key not in drawn and (args.scale == 1 or not key.endswith(".spt")):
                    problems.append("%s: in the manifest but not drawn" % row[0])
    if problems:
        for p in problems:
            print("make_pictures: " + p, file=sys.stderr)
        return 1
    if args.pkg and args.pkgtool and not args.only:
        files = sorted((os.path.join(out_dir, n) for n in os.listdir(out_dir)),
                       key=lambda p: os.path.basename(p).lower())
        tmp = args.pkg + ".tmp"
        subprocess.check_call([args.pkgtool, "pack", tmp] + files)
        os.replace(tmp, args.pkg)
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", required=True)
    parser.add_argument("--manifest")
    parser.add_argument("--pkgtool")
    parser.add_argument("--pkg")
    parser.add_argument("--only", nargs="*")
    parser.add_argument("--write-manifest", action="store_true")
    parser.add_argument("--jobs", type=int, default=min(2, os.cpu_count() or 1),
                        help="drawing processes (the output does not depend on it)")
    parser.add_argument("--scale", type=int, choices=(1, 2), default=1,
                        help="pixels per screen unit of the game's 800x600 screen")
    return build(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
