#!/usr/bin/env bash
# Plays the Windows game on Direct3D 8 in a window on a large virtual screen, with the
# twice-size pictures beside the game's own and "Pictures = sharp" in Window.ini. The
# window opens at 800x600, too small for them: the menu is drawn classic, pixel for
# pixel, and kept as the reference. The window is then enlarged: the device's back
# buffer must follow the letterbox and the menu be drawn sharp at the letterbox's own
# size. Reduced to 800x600 it must agree with the classic picture: a mean difference
# of at most $tolerance of 255 per channel, at the best of the placements at most one
# pixel apart (the classic drawing rounds its pictures' texel edges, which puts it a
# row higher than the sharp one, on either back-end; and the menu moves a little
# between the two shots). Its edges must also be sharper than the classic
# picture enlarged to the same size (at least $sharper times its detail, measured as
# the mean difference between a picture and its own blur). Shrunk to less than 1.5
# times the picture, the window goes classic again, back buffer and all; Exit on the
# menu ends the game. (Full screen is not tried here: the device's full-screen mode is
# the game's 800x600, which a large virtual screen does not offer.)
# With TAV_D3D8_FAULTS set, the fault-injecting d3d8.dll (path in $TAV_D3D8_PROXY)
# stands beside the game: "pow2" draws the same through padded textures; with
# "max-texture=1024" the device cannot hold the twice-size pictures, and the enlarged
# window must stay classic and the log say why.
# Screenshots, the letterboxes compared and log.txt land in <out>.
#
# Usage: run_sharp_window_e2e_win.sh <game folder> <output folder> <wine prefix>
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
export WINEPREFIX=${3:?wine prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
tolerance=5
sharper=1.3

source "$(dirname "$0")/../support/xvfb_session.sh"
require_tools wine Xvfb xdotool import
require_game_files "$game_dir" Tavrolith.exe Data/data.pkg Data/data@2x.pkg Data/Levels.ini \
  Data/Textures.ini Data/Audio
if ! grep -q "Direct3DCreate8" "$game_dir/Tavrolith.exe"; then
  echo "SKIP: this program has no Direct3D 8 back-end"
  exit 77
fi
use_out_dir "${2:?output folder}"
run_dir="$out_dir/game"
game_program=Tavrolith.exe
copy_game "$game_dir" "$run_dir" data.pkg data@2x.pkg Textures.ini Levels.ini Audio
printf '[Window]\r\nWindowed = 1\r\nPictures = sharp\r\n' > "$run_dir/Data/Window.ini"
small_textures=0
if [ -n "${TAV_D3D8_FAULTS:-}" ]; then
  cp "${TAV_D3D8_PROXY:?the fault-injecting d3d8.dll}" "$run_dir/d3d8.dll"
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3d8=n,b"
  case "$TAV_D3D8_FAULTS" in *max-texture=1024*) small_textures=1 ;; esac
fi

trap stop_session EXIT
if ! start_xvfb 1920x1080x24 "$out_dir/xvfb.log"; then
  echo "FAIL: Xvfb did not start"
  exit 1
fi
wineserver -w
(cd "$run_dir" && exec wine Tavrolith.exe) &
game_pid=$!
find_game_window || { echo "FAIL: no window captioned Tavrolith"; exit 1; }

# Saves the letterbox of the screenshot <name> as $out_dir/<name>-letterbox.png: the
# part of the black screen the picture covers (Wine keeps part of a resized window's
# frame for itself, so the window's own size does not say where the client area is).
crop_letterbox() {
  /usr/bin/python3 - "$out_dir/$1.png" "$out_dir/$1-letterbox.png" <<'PY'
import sys
from PIL import Image
source, target = sys.argv[1:3]
picture = Image.open(source).convert("RGB")
box = picture.convert("L").point(lambda value: 255 if value > 8 else 0).getbbox()
picture.crop(box).save(target)
print("%s: letterbox %dx%d at %d,%d" % (target, box[2] - box[0], box[3] - box[1], box[0], box[1]))
PY
}
# Moves the window to the screen's top-left corner and gives it a new size.
resize_window() {
  xdotool windowmove "$window" 0 0
  xdotool windowsize "$window" "$1" "$2"
  for _ in $(seq 1 100); do
    [ "$(window_geometry)" = "0 0 $1 $2" ] && return 0
    sleep 0.1
  done
  return 1
}
# The plate of "Time Attack" on the menu, where the window's letterbox puts it.
wait_for_menu() { wait_for_game 640 360 770 385 103 67 54 "$1"; }

wait_for_menu 120 || fail "the menu is not drawn in the 800x600 window"
sleep 1
shot 01-classic
crop_letterbox 01-classic

# Sharp needs at least 1.5 times the picture: 1440x1080 is 1.8 times.
resize_window 1440 1080 || fail "the window did not take 1440x1080"
wait_for_menu 60 || fail "the menu is not drawn in the enlarged window"
# The back buffer follows once the letterbox has kept its size for a few frames.
sleep 3
shot 02-sharp
crop_letterbox 02-sharp

# 1.25 times the picture: classic again.
resize_window 1000 750 || fail "the window did not take 1000x750"
wait_for_menu 60 || fail "the menu is not drawn in the shrunk window"
sleep 3
shot 03-classic-again
# The menu's exit button, game pixels 530..638 by 15..49 from the bottom-left.
click_game 584 32
wait_game_exit 60
[ "$game_rc" = 0 ] || fail "the game exited with $game_rc"

tr -d '\r' < "$run_dir/log.txt" > "$out_dir/log.txt" 2> /dev/null
/usr/bin/python3 - "$out_dir/log.txt" "$small_textures" <<'PY' || fail "log.txt does not show the pictures Direct3D 8 should draw"
import sys
lines = open(sys.argv[1], encoding="latin-1").read().splitlines()
small_textures = sys.argv[2] == "1"
wanted = ["CreateDevice() in a window",
          "Pictures classic: Window.ini asks for sharp, but the picture is enlarged only 1.00",
          "Pictures sharp: Window.ini asks for it", "Back buffer to ", "Reset()", "Device reset",
          "Pictures classic: Window.ini asks for sharp, but the picture is enlarged only 1.2",
          "Back buffer to 800x600 for classic pictures", "Reset()", "Device reset"]
if small_textures:
    wanted = ["CreateDevice() in a window",
              "Pictures classic: Window.ini asks for sharp, but the device's textures (at most "
              "1024x1024) are too small for the twice-size pictures"]
position, bad = 0, False
for line in wanted:
    found = next((i for i in range(position, len(lines)) if lines[i].startswith(line)), None)
    if found is None:
        print("log.txt lacks %r after line %d" % (line, position + 1))
        bad = True
    else:
        position = found + 1
# One reset for each new letterbox, not one for each frame while it settles.
resizes = [line for line in lines if line.startswith("Back buffer to ")]
if len(resizes) != (0 if small_textures else 2):
    print("log.txt has %d back-buffer changes" % len(resizes))
    bad = True
for line in lines:
    if small_textures and line.startswith("Pictures sharp"):
        print("log.txt has %r" % line)
        bad = True
    if line.startswith("ERROR") or line.startswith("wglCreateContext"):
        print("log.txt has %r" % line)
        bad = True
sys.exit(1 if bad else 0)
PY

[ "$small_textures" = 1 ] ||
/usr/bin/python3 - "$out_dir" "$tolerance" "$sharper" <<'PY' || fail "the sharp window does not show the classic picture sharper"
import sys
from PIL import Image, ImageChops, ImageFilter, ImageStat
folder, tolerance, sharper = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
classic = Image.open(folder + "/01-classic-letterbox.png")
sharp = Image.open(folder + "/02-sharp-letterbox.png")
if classic.size != (800, 600) or sharp.size[0] < 1200 or abs(sharp.size[0] * 3 - sharp.size[1] * 4) > 4:
    sys.exit("letterboxes of %s and %s" % (classic.size, sharp.size))
# The back buffer is the letterbox's size, presented into it pixel for pixel.
import re
buffers = re.findall(r"Back buffer to (\d+)x(\d+) for sharp", open(folder + "/log.txt").read())
if not buffers or tuple(map(int, buffers[0])) != sharp.size:
    sys.exit("sharp back buffers %s, letterbox %s" % (buffers, sharp.size))
reduced = sharp.resize(classic.size, Image.BOX)
reduced.save(folder + "/02-sharp-reduced.png")
def mean_difference(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3
inner = (1, 1, 799, 599)
difference = min(
    mean_difference(reduced.crop(inner), classic.crop((1 + dx, 1 + dy, 799 + dx, 599 + dy)))
    for dx in (-1, 0, 1) for dy in (-1, 0, 1))
def detail(picture):
    return mean_difference(picture, picture.filter(ImageFilter.GaussianBlur(1.5)))
enlarged = classic.resize(sharp.size, Image.BILINEAR)
ratio = detail(sharp) / max(detail(enlarged), 1e-6)
print("sharp reduced to 800x600 differs from classic by %.2f of 255 (at most %.1f); "
      "its detail is %.2f times the enlarged classic's (at least %.1f)"
      % (difference, tolerance, ratio, sharper))
sys.exit(0 if difference <= tolerance and ratio >= sharper else 1)
PY
screenshots_show_the_game "$out_dir" 01-classic 02-sharp 03-classic-again ||
  fail "the screenshots do not show the game"

if [ "$failures" -ne 0 ]; then
  echo "sharp window: $failures failure(s); log.txt:"
  cat "$out_dir/log.txt" 2> /dev/null
  exit 1
fi
echo "sharp window: Direct3D 8 drew the twice-size pictures at the letterbox's size"
