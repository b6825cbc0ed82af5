#!/usr/bin/env bash
# Plays the Windows game under Wine and Xvfb (800x600 at 16 bits) the way a player
# would: the intro, the menu, a time-attack level with arrows turned both ways, the
# pause dialog, then the top bar's close button. Screenshots go to <out>/*.png.
#
# Mode "native" expects the first back-end to start: Direct3D 8 when the program
# has it (it names "Direct3DCreate8" to load it at run time), otherwise OpenGL.
# Mode "no-d3d8" makes d3d8.dll unavailable through Wine's DLL overrides: a program
# with Direct3D 8 must log its failure and fall back to OpenGL, and the menu must
# still be drawn.
# Mode "read-only" runs the game from a folder it cannot write (as Program Files is
# for a player): log.txt and the player's files must appear in the player's
# AppData\Roaming\Tavrolith, and the game folder must be byte-identical afterwards.
# The folder is mounted read-only in a mount namespace of the test's own (as root,
# permission bits would not stop the writes), or made read-only by its permissions.
# Mode "unicode" runs the game from a folder named in Polish, Russian and Japanese,
# characters no single ANSI code page holds.
# Modes "d3d8-create-fails" and "d3d8-lost" put the fault-injecting d3d8.dll (path in
# $TAV_D3D8_PROXY) beside the game: CreateDevice fails, and OpenGL must take over;
# or the device is lost for 120 frames and its first reset finds it lost again, and
# the game must reset it, go on and end normally.
# Modes "window" and "window-no-d3d8" (the latter on OpenGL, as no-d3d8) play no
# level: from the menu, Alt+Enter turns the game into a window with the picture
# letterboxed in its client area, again back to full screen and again into a window,
# and a click on the menu's Exit, where it now is, ends the game with the window
# remembered in Window.ini. The twice-size pictures are there, but neither full
# screen on Direct3D 8 nor a window on an 800x600 screen may use them. The read-only run switches to a window and back on the
# menu, so that Window.ini too must appear among the player's files.
#
# Fails when the game exits with a non-zero code, logs an unexpected ERROR, does not
# show the expected back-end in log.txt, or leaves any of Hiscore.dat, Config.ini,
# Last.dat unwritten.
#
# Usage: run_game_e2e_win.sh <game folder> <output folder>
#                            <native|no-d3d8|read-only|unicode|window|...> <wine prefix>
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
out_dir=${2:?output folder}
mode=${3:?mode}
export WINEPREFIX=${4:?wine prefix}
export WINEDEBUG=-all
skip=77

for tool in wine Xvfb xdotool import; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed"
    exit $skip
  fi
done
for file in Tavrolith.exe Data/data.pkg Data/Levels.ini Data/Textures.ini Data/Audio/Music.ogg; do
  if [ ! -e "$game_dir/$file" ]; then
    echo "SKIP: the built game has no $file"
    exit $skip
  fi
done

# A read-only folder needs a mount namespace when root runs the test: the script
# runs again inside one, where it mounts the game folder read-only.
if [ "$mode" = read-only ] && [ "$(id -u)" = 0 ] && [ -z "${TAV_IN_MOUNT_NAMESPACE:-}" ]; then
  if ! unshare -m true 2> /dev/null; then
    echo "SKIP: no mount namespace for a read-only game folder"
    exit $skip
  fi
  TAV_IN_MOUNT_NAMESPACE=1 exec unshare -m bash "$0" "$@"
fi

overrides="mscoree,mshtml="
without_d3d8=0
case "$mode" in
  native|read-only|unicode|window) ;;
  d3d8-create-fails|d3d8-lost)
    overrides="$overrides;d3d8=n,b"
    if [ "$mode" = d3d8-lost ]; then faults="lost=120,reset-lost"; else faults=create-fails; fi
    export TAV_D3D8_FAULTS=$faults ;;
  no-d3d8|window-no-d3d8) overrides="$overrides;d3d8="; without_d3d8=1 ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
export WINEDLLOVERRIDES="$overrides"
has_d3d8=0
if grep -q "Direct3DCreate8" "$game_dir/Tavrolith.exe"; then has_d3d8=1; fi

mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
rm -f "$out_dir"/*.png
rm -rf "$out_dir/game" "$out_dir"/Żaneta*
run_dir="$out_dir/game"
[ "$mode" = unicode ] && run_dir="$out_dir/Żaneta Игры ゲーム/Tavrolith"
mkdir -p "$run_dir/Data"
cp "$game_dir/Tavrolith.exe" "$run_dir/"
case "$mode" in d3d8-*) cp "${TAV_D3D8_PROXY:?the fault-injecting d3d8.dll}" "$run_dir/d3d8.dll" ;; esac
for item in data.pkg Textures.ini Levels.ini Audio; do
  ln -s "$game_dir/Data/$item" "$run_dir/Data/$item"
done
# The window runs have the twice-size pictures too: a window this small, and full
# screen on Direct3D 8, must still be drawn classic, and the log must say why.
case "$mode" in
  window*) [ -e "$game_dir/Data/data@2x.pkg" ] && ln -s "$game_dir/Data/data@2x.pkg" "$run_dir/Data/" ;;
esac

# Where the player's files must appear: beside the game, or in AppData.
player_dir="$run_dir/Data"
log_dir="$run_dir"
if [ "$mode" = read-only ]; then
  appdata=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2> /dev/null | grep -v /Public/ | head -n 1)
  [ -n "$appdata" ] || { echo "FAIL: the Wine prefix has no AppData\\Roaming"; exit 1; }
  player_dir="$appdata/Tavrolith"
  log_dir="$player_dir"
  rm -rf "$player_dir"
  folder_state() { (cd "$run_dir" && find . -printf '%p %y %s\n' | sort && find . -type f -exec sha256sum {} + | sort); }
  folder_state > "$out_dir/folder-before.txt"
  if [ -n "${TAV_IN_MOUNT_NAMESPACE:-}" ]; then
    mount --make-rprivate / && mount --bind "$run_dir" "$run_dir" &&
      mount -o remount,bind,ro "$run_dir" || { echo "FAIL: cannot mount the game folder read-only"; exit 1; }
  else
    chmod -R a-w "$run_dir"
  fi
  if touch "$run_dir/probe" 2> /dev/null; then echo "FAIL: the game folder is writable"; exit 1; fi
fi

source "$(dirname "$0")/../support/xvfb_session.sh"
trap stop_session EXIT
if ! start_xvfb 800x600x16 "$out_dir/xvfb.log"; then
  echo "FAIL: Xvfb did not start"
  cat "$out_dir/xvfb.log"
  exit 1
fi

# True when every row of the board is filled: a row still empty while the board drops
# in is dark; a full one is not.
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
# Game coordinates have their origin at the bottom-left; the screen's at the top-left.
click() {
  xdotool mousemove "$1" "$((600 - $2))"
  sleep 0.15
  xdotool mousedown "${3:-1}"
  sleep 0.1
  xdotool mouseup "${3:-1}"
  sleep 0.15
}

# A Wine session left by an earlier program keeps the display it started with;
# the game must start a session of its own on this display.
wineserver -w
(cd "$run_dir" && exec wine Tavrolith.exe) &
game_pid=$!

window=""
for _ in $(seq 1 300); do
  window=$(xdotool search --name '^Tavrolith$' 2> /dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window captioned Tavrolith"

# The intro's first picture: Wine and a busy machine may take a while to show it.
screen_has_picture() {
  import -window root png:- 2> /dev/null | /usr/bin/python3 -c '
import io, sys
from PIL import Image
picture = Image.open(io.BytesIO(sys.stdin.buffer.read())).convert("RGB")
sys.exit(0 if len(picture.getcolors(1 << 16) or range(1 << 16)) > 16 else 1)
'
}
sleep 1
wait_until 60 screen_has_picture || fail "the intro did not appear"
sleep 1
shot 01-intro

# Alt+Enter, then waits until the game is in a window ("window") or covers the
# screen again ("full").
switch_window_mode() {
  xdotool key alt+Return
  local geometry=""
  for _ in $(seq 1 100); do
    geometry=$(window_geometry)
    if [ "$1" = window ] && [ "$geometry" != "0 0 800 600" ]; then break; fi
    if [ "$1" = full ] && [ "$geometry" = "0 0 800 600" ]; then break; fi
    sleep 0.1
  done
}
# Waits until the menu shows: the plate of "Time Attack" where the letterbox of the
# window's client area puts it.
wait_for_menu() {
  wait_for_game 640 360 770 385 103 67 54 "$1" || fail "the menu is not drawn $2"
}
# True when the bars of the window's letterbox (those at least two pixels wide) are
# black and the picture between them is not.
letterbox_bars_black() {
  read -r wx wy ww wh < <(window_geometry)
  import -window root png:- 2> /dev/null | /usr/bin/python3 -c '
import io, sys
from PIL import Image
wx, wy, ww, wh = map(int, sys.argv[1:5])
picture = Image.open(io.BytesIO(sys.stdin.buffer.read())).convert("RGB")
if ww * 600 >= wh * 800:
    bh = wh; bw = wh * 800 // 600
else:
    bw = ww; bh = ww * 600 // 800
left = wx + (ww - bw) // 2; top = wy + (wh - bh) // 2
bars = [(wx, wy, left, wy + wh), (left + bw, wy, wx + ww, wy + wh),
        (wx, wy, wx + ww, top), (wx, top + bh, wx + ww, wy + wh)]
bars = [b for b in bars if b[2] - b[0] >= 2 and b[3] - b[1] >= 2]
def brightest(box):
    return max(max(p) for p in picture.crop(box).getdata())
if not bars:
    sys.exit("the window has no bars at %dx%d" % (ww, wh))
bad = [b for b in bars if brightest(b) > 8]
if bad:
    sys.exit("bars not black: %s" % bad)
sys.exit(0 if brightest((left, top, left + bw, top + bh)) > 64 else "no picture in the letterbox")
' "$wx" "$wy" "$ww" "$wh"
}

# The switches overlap the intro, so that they cost the run little time.
if [ "$mode" = read-only ]; then
  # The choice of window is a player's file too.
  switch_window_mode window
  switch_window_mode full
fi

if [ "$mode" = window ] || [ "$mode" = window-no-d3d8 ]; then
  switch_window_mode window
  wait_for_menu 120 "in the window"
  sleep 0.5
  letterbox_bars_black || fail "the window does not show the picture letterboxed"
  shot 05-window
  switch_window_mode full
  wait_for_menu 60 "back in full screen"
  sleep 0.5
  shot 06-full-screen
  switch_window_mode window
  wait_for_menu 60 "in the window again"
  # The menu's exit button, game pixels 530..638 by 15..49 from the bottom-left.
  click_game 584 32
else
  # The intro lasts nine seconds of game time; the menu shows the plate of "Time Attack".
  wait_until 120 screen_box_near 640 360 770 385 103 67 54 16 || fail "the menu did not appear"
  sleep 0.5
  shot 02-menu

  # Time attack, level 1: once the board has dropped in, the first press starts the
  # clock; then arrows are turned both ways.
  click 708 107
  wait_until 120 board_filled || fail "the board did not fill"
  click 525 325
  click 525 325
  click 425 275
  click 475 375 3
  click 325 125
  sleep 1
  shot 03-game

  # Pause, resume, then the top bar's close button ends the game.
  click 118 275
  wait_until 60 screen_box_near 330 150 470 172 101 59 54 16 || fail "the pause dialog did not appear"
  shot 04-pause-dialog
  click 400 350
  wait_until 60 board_filled || fail "the pause dialog did not close"
  click 776 589
fi
for _ in $(seq 1 600); do
  kill -0 "$game_pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$game_pid" 2> /dev/null; then
  fail "the game did not end after the close button"
  kill "$game_pid"
fi
wait "$game_pid"
game_rc=$?
game_pid=""
[ "$game_rc" -eq 0 ] || fail "the game exited with $game_rc"

log="$log_dir/log.txt"
tr -d '\r' < "$log" > "$out_dir/log.txt" 2> /dev/null
log="$out_dir/log.txt"
# The lines that matter, in order, with "-" for a line that must not appear.
expect_in_order() {
  /usr/bin/python3 - "$log" "$@" <<'PY'
import sys
lines = open(sys.argv[1], encoding="latin-1").read().splitlines()
position = 0
bad = False
for wanted in sys.argv[2:]:
    if wanted.startswith("-"):
        if any(line.startswith(wanted[1:]) for line in lines):
            print("log.txt has the line %r" % wanted[1:])
            bad = True
        continue
    found = next((i for i in range(position, len(lines)) if lines[i].startswith(wanted)), None)
    if found is None:
        print("log.txt lacks %r (after line %d)" % (wanted, position + 1))
        bad = True
    else:
        position = found + 1
sys.exit(1 if bad else 0)
PY
}
if [ ! -s "$log" ]; then
  fail "no log.txt"
elif [ "$mode" = d3d8-create-fails ]; then
  expect_in_order "log start" "Direct3DCreate8()" "CreateDevice()" "ERROR: CreateDevice() failed." \
    "ChangeDisplaySettings()" "wglCreateContext()" "wglMakeCurrent()" "-SetupDefaultStates()" \
    || fail "log.txt does not show OpenGL taking over from the failed device"
  if [ "$(grep -c "^ERROR" "$log")" -ne 1 ]; then fail "log.txt reports more than the device failure"; fi
elif [ "$mode" = d3d8-lost ]; then
  expect_in_order "log start" "CreateDevice()" "SetupDefaultStates()" "Device lost" "Reset()" \
    "Reset() found the device lost again" "Reset()" "Device reset" "-ERROR" \
    "-wglCreateContext()" || fail "log.txt does not show the lost device reset"
elif [ "$has_d3d8" = 1 ] && [ "$without_d3d8" = 0 ]; then
  echo "expecting the Direct3D 8 back-end"
  expect_in_order "log start" "Direct3DCreate8()" "CreateDevice()" "SetupDefaultStates()" \
    "-ERROR" "-wglCreateContext()" || fail "log.txt does not show Direct3D 8 starting"
  if [ "$mode" = window ]; then
    expect_in_order "Window mode: window" "Device to a window" "Reset()" "Device reset" \
      "Window mode: full screen" "Device to full screen" "Reset()" "Device reset" \
      "Window mode: window" "Device to a window" "Reset()" "Device reset" \
      || fail "log.txt does not show the device following the window mode"
    if [ -e "$game_dir/Data/data@2x.pkg" ]; then
      expect_in_order "Pictures classic: the device is full screen" "Device to a window" \
        "Pictures classic: the picture is enlarged only" "Device to full screen" \
        "Pictures classic: the device is full screen" "Device to a window" \
        "Pictures classic: the picture is enlarged only" "-Pictures sharp" \
        || fail "log.txt does not show the pictures kept classic full screen and in the small window"
    fi
  fi
elif [ "$has_d3d8" = 1 ]; then
  echo "expecting Direct3D 8 to fail and OpenGL to take over"
  expect_in_order "log start" "ERROR: Failed to load library d3d8.dll." "ChangeDisplaySettings()" \
    "wglCreateContext()" "wglMakeCurrent()" "-Direct3DCreate8()" \
    || fail "log.txt does not show the fallback to OpenGL"
  if [ "$(grep -c "^ERROR" "$log")" -ne 1 ]; then fail "log.txt reports more than the Direct3D failure"; fi
  if [ "$mode" = window-no-d3d8 ]; then
    expect_in_order "wglMakeCurrent()" "Window mode: window" "Window mode: full screen" \
      "ChangeDisplaySettings()" "Window mode: window" "-WARNING: ChangeDisplaySettings()" \
      || fail "log.txt does not show OpenGL following the window mode"
  fi
else
  echo "expecting OpenGL (this program has no Direct3D 8 back-end)"
  expect_in_order "log start" "ChangeDisplaySettings()" "wglCreateContext()" "wglMakeCurrent()" \
    "-ERROR" || fail "log.txt does not show OpenGL starting"
fi
for file in Hiscore.dat Config.ini Last.dat; do
  [ -s "$player_dir/$file" ] || fail "$file was not written in $player_dir"
done
case "$mode" in
  read-only) grep -q "Windowed = 0" "$player_dir/Window.ini" 2> /dev/null ||
    fail "Window.ini does not remember full screen in $player_dir" ;;
  window*) grep -q "Windowed = 1" "$player_dir/Window.ini" 2> /dev/null ||
    fail "Window.ini does not remember the window in $player_dir" ;;
esac
if [ "$mode" = read-only ]; then
  folder_state > "$out_dir/folder-after.txt"
  cmp -s "$out_dir/folder-before.txt" "$out_dir/folder-after.txt" ||
    fail "the read-only game folder changed: $(diff "$out_dir/folder-before.txt" "$out_dir/folder-after.txt" | head -n 5)"
  grep -q "player files in .*AppData.Roaming.Tavrolith" "$log" ||
    fail "log.txt does not name the AppData folder"
  [ -z "${TAV_IN_MOUNT_NAMESPACE:-}" ] && chmod -R u+w "$run_dir"
fi
shots="01-intro 02-menu 03-game 04-pause-dialog"
case "$mode" in window*) shots="01-intro 05-window 06-full-screen" ;; esac
# shellcheck disable=SC2086
screenshots_show_the_game "$out_dir" $shots || fail "the screenshots do not show the game"

if [ "$failures" -ne 0 ]; then
  echo "e2e ($mode): $failures failure(s); log.txt:"
  cat "$log" 2> /dev/null
  exit 1
fi
echo "e2e ($mode): the game ran, exited 0 and wrote its three files in $player_dir; screenshots in $out_dir"
