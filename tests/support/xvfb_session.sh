# Shell helpers for the tests that run the real game in a virtual X server: sourced,
# not run. Needs Xvfb, xdotool, ImageMagick's import and python3 with PIL.
#
#   start_xvfb <geometry> <log>   starts Xvfb on a free display and exports DISPLAY
#   screenshots_show_the_game <folder> <name>...
#                                 true when no screenshot is flat or a repeat
#   find_game_window              sets $window to the window captioned "Tavrolith"
#   game_to_screen <x> <y>        game pixel (origin bottom-left) -> screen pixel,
#                                 through the window's letterbox; prints "sx sy"
#   click_game <x> <y>            left click at a game pixel
#   screen_box_near <x0> <y0> <x1> <y1> <r> <g> <b> <tolerance>
#                                 true when the screen box's mean colour is that near
#   wait_until <seconds> <command>...
#                                 runs the check until it passes or time is up
#   wait_for_game <x0> <y0> <x1> <y1> <r> <g> <b> <seconds>
#                                 waits until the mean colour of the game box (game
#                                 pixels, origin top-left) is within 16 of r g b
#   wait_game_exit <seconds>      sets $game_rc to the game's exit code (or "running")
#   board_filled                  true when every row of the full-screen game's board
#                                 has dropped in
#   stop_session                  ends the game and Xvfb if they still run
#   fail <text>, shot <name>      count a failed check; screenshot to $out_dir/<name>.png
#   require_tools <tool>...       ends with the skip status (77) unless all are installed
#   require_game_files <folder> <file>...
#                                 the same unless the built game holds every file
#   use_out_dir <folder>          makes the folder, sets $out_dir to its full
#                                 path and removes the screenshots of a run before
#   copy_game <folder> <run folder> [<data item>...]
#                                 a fresh copy of the game to run: the executable
#                                 ($game_program, tavrolith unless the caller sets
#                                 Tavrolith.exe) and links to the named items of its
#                                 Data/ (by default data.pkg, Textures.ini and Audio,
#                                 for a caller that writes its own Levels.ini)
#
# The game process id goes in $game_pid (set by the caller).

xvfb_pid=""
game_pid=""
window=""

# Counts a failed check and says which; the caller ends with a non-zero status when
# $failures is not 0. Checks keep going after a failure so one run shows them all.
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Saves a screenshot of the whole screen as $out_dir/<name>.png.
shot() {
  import -window root "$out_dir/$1.png" && echo "screenshot $1.png"
}

start_xvfb() {
  # Xvfb picks a free display and writes its number to the descriptor. A server
  # starting at the same moment elsewhere may win the number; then it is tried again.
  local number=""
  for _ in 1 2 3; do
    exec 5< <(Xvfb -displayfd 1 -screen 0 "$1" -nolisten tcp 2> "$2" & echo "pid $!")
    read -r _ xvfb_pid <&5
    for _ in $(seq 1 100); do
      if read -r -t 0.1 number <&5 && [ -n "$number" ]; then break; fi
      kill -0 "$xvfb_pid" 2> /dev/null || break
    done
    [ -n "$number" ] && break
    sleep 1
  done
  [ -n "$number" ] || return 1
  export DISPLAY=":$number"
}

# True when every named screenshot (folder/NAME.png) shows a picture: more than a
# few colours, and not the same as the one before it. A flat or repeated picture
# means the game stopped drawing or ignored the clicks.
screenshots_show_the_game() {
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops
folder, names = sys.argv[1], sys.argv[2:]
bad = False
previous = None
for name in names:
    try:
        picture = Image.open("%s/%s.png" % (folder, name)).convert("RGB")
    except OSError as error:
        print("cannot read %s.png: %s" % (name, error))
        bad = True
        continue
    colours = picture.getcolors(maxcolors=1 << 20)
    if colours is not None and len(colours) < 16:
        print("%s.png has only %d colours" % (name, len(colours)))
        bad = True
    if previous is not None and ImageChops.difference(previous, picture).getbbox() is None:
        print("%s.png is the same picture as the one before" % name)
        bad = True
    previous = picture
sys.exit(1 if bad else 0)
PY
}

# A row still empty while the board drops in is dark; a full one is not. For the
# game full screen on an 800x600 display.
board_filled() {
  import -window root png:- 2> /dev/null | /usr/bin/python3 -c '
import io, sys
from PIL import Image
picture = Image.open(io.BytesIO(sys.stdin.buffer.read())).convert("RGB")
def mean(box):
    pixels = list(picture.crop(box).getdata())
    return [sum(p[i] for p in pixels) / len(pixels) for i in range(3)]
sys.exit(0 if all(sum(mean((255, 65 + 50 * k, 745, 85 + 50 * k))) / 3 >= 95 for k in range(10)) else 1)
'
}

stop_session() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2> /dev/null; then kill "$game_pid"; fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2> /dev/null; then kill "$xvfb_pid"; fi
}

find_game_window() {
  window=""
  for _ in $(seq 1 150); do
    window=$(xdotool search --name '^Tavrolith$' 2> /dev/null | head -n 1)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  return 1
}

# Prints "x y width height" of the game window on the screen.
window_geometry() {
  xdotool getwindowgeometry --shell "$window" 2> /dev/null |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}'
}

# The letterbox of an 800x600 picture in the window, as "left top scale" in screen
# pixels; the same arithmetic the game uses, to the pixel centre.
game_to_screen() {
  read -r wx wy ww wh < <(window_geometry)
  /usr/bin/python3 -c '
import sys
wx, wy, ww, wh, gx, gy = map(int, sys.argv[1:7])
if ww * 600 >= wh * 800:
    bh = wh; bw = wh * 800 // 600
else:
    bw = ww; bh = ww * 600 // 800
left = wx + (ww - bw) // 2; top = wy + (wh - bh) // 2
print(left + (2 * gx + 1) * bw // 1600, top + (2 * gy + 1) * bh // 1200)
' "$wx" "$wy" "$ww" "$wh" "$1" "$2"
}

# A left click at a game point given with the game's origin at the bottom-left.
click_game() {
  local sx sy
  read -r sx sy < <(game_to_screen "$1" "$((600 - $2))")
  xdotool mousemove "$sx" "$sy"
  sleep 0.15
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.15
}

# True when the mean colour of the screen box x0 y0 x1 y1 (screen pixels) is within
# <tolerance> of r g b.
screen_box_near() {
  import -window root png:- 2> /dev/null | /usr/bin/python3 -c '
import io, sys
from PIL import Image
x0, y0, x1, y1, r, g, b, tolerance = map(int, sys.argv[1:9])
picture = Image.open(io.BytesIO(sys.stdin.buffer.read())).convert("RGB").crop((x0, y0, x1, y1))
pixels = list(picture.getdata())
mean = [sum(p[i] for p in pixels) / len(pixels) for i in range(3)]
sys.exit(0 if all(abs(m - t) <= tolerance for m, t in zip(mean, (r, g, b))) else 1)
' "$@"
}

# Runs a check until it passes, for at most $1 seconds. A slow machine draws fewer
# frames and the game's time runs with its frames, so every step waits for what it
# needs to see instead of sleeping for a fixed time.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    sleep 0.3
  done
  return 1
}

# The game box's mean colour near r g b (within 16), the box in game pixels with the
# origin top-left, mapped through the window's letterbox.
game_box_near() {
  local x0 y0 x1 y1
  read -r x0 y0 < <(game_to_screen "$1" "$2")
  read -r x1 y1 < <(game_to_screen "$3" "$4")
  screen_box_near "$x0" "$y0" "$x1" "$y1" "$5" "$6" "$7" 16
}

wait_for_game() {
  wait_until "$8" game_box_near "$@"
}

# Waits up to $1 seconds for the game to end; sets $game_rc to its exit code, or to
# "running" when it did not end.
wait_game_exit() {
  for _ in $(seq 1 $(($1 * 10))); do
    kill -0 "$game_pid" 2> /dev/null || break
    sleep 0.1
  done
  if kill -0 "$game_pid" 2> /dev/null; then
    game_rc=running
    return
  fi
  wait "$game_pid"
  game_rc=$?
  game_pid=""
}

require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" > /dev/null; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
}

require_game_files() {
  local folder=$1 file
  shift
  for file in "$@"; do
    if [ ! -e "$folder/$file" ]; then
      echo "SKIP: the built game has no $file"
      exit 77
    fi
  done
}

use_out_dir() {
  mkdir -p "$1"
  out_dir=$(cd "$1" && pwd)
  rm -f "$out_dir"/*.png
}

game_program=tavrolith
copy_game() {
  local from=$1 to=$2 item
  shift 2
  [ $# -gt 0 ] || set -- data.pkg Textures.ini Audio
  rm -rf "$to"
  mkdir -p "$to/Data"
  cp "$from/$game_program" "$to/"
  for item in "$@"; do ln -s "$from/Data/$item" "$to/Data/$item"; done
}
