#!/usr/bin/env bash
# The built game's window mode under Xvfb (which has no window manager, so the test
# resizes the window itself, as a window manager would): F11 turns the full-screen
# game into a window of 800x600 on a 1280x960 screen, Alt+Enter goes back to full
# screen and to a window again, the window is resized to a wide 1000x500, the menu is
# drawn letterboxed at the new size, and a click on the menu's exit button, where it
# now is, ends the game with exit code 0 and the window choice written.
# Screenshots go to <out>.
#
# Usage: run_window_e2e.sh <game folder> <output folder>
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
out_dir=${2:?output folder}
here=$(cd "$(dirname "$0")" && pwd)
skip=77

for tool in Xvfb xdotool import; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed"
    exit $skip
  fi
done
for file in tavrolith Data/data.pkg Data/Levels.ini Data/Textures.ini; do
  if [ ! -e "$game_dir/$file" ]; then
    echo "SKIP: the built game has no $file"
    exit $skip
  fi
done

rm -rf "$out_dir"
mkdir -p "$out_dir/game/Data"
out_dir=$(cd "$out_dir" && pwd)
run_dir="$out_dir/game"
cp "$game_dir/tavrolith" "$run_dir/"
for item in data.pkg Textures.ini Levels.ini Audio; do
  ln -s "$game_dir/Data/$item" "$run_dir/Data/$item"
done

source "$here/../support/xvfb_session.sh"
trap stop_session EXIT
start_xvfb 1280x960x24 "$out_dir/xvfb.log" || { echo "FAIL: Xvfb did not start"; exit 1; }

game_asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
(cd "$run_dir" && SDL_AUDIODRIVER=dummy ASAN_OPTIONS="$game_asan_options" exec ./tavrolith) &
game_pid=$!
find_game_window || fail "no window captioned Tavrolith"

# Waits up to 10 seconds until the window has this size ("width height").
expect_size() {
  local size=""
  for _ in $(seq 1 100); do
    read -r _ _ w h < <(window_geometry)
    size="$w $h"
    [ "$size" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2: the window is $size instead of $1"
}

expect_size "1280 960" "at start"
# The menu shows the plate of "Time Attack" once the nine-second intro is over.
wait_for_game 640 360 770 385 103 67 54 40 || fail "the menu did not appear full screen"

xdotool key F11
expect_size "800 600" "after F11"
xdotool key alt+Return
expect_size "1280 960" "after Alt+Enter"
xdotool key alt+Return
expect_size "800 600" "after the second Alt+Enter"
import -window root "$out_dir/window.png"

# Resized by hand: the picture is letterboxed into 666x500 in the middle.
xdotool windowsize "$window" 1000 500
expect_size "1000 500" "after the resize"
wait_for_game 640 360 770 385 103 67 54 20 || fail "the menu is not drawn letterboxed at 1000x500"
sleep 0.5
import -window root "$out_dir/resized.png"

# The menu's exit button, game pixels 530..638 by 15..49 from the bottom-left.
click_game 584 32
wait_game_exit 15
[ "$game_rc" = 0 ] || fail "the click on the exit button did not end the game ('$game_rc')"

grep -q "Windowed = 1" "$run_dir/Data/Window.ini" 2> /dev/null ||
  fail "Data/Window.ini does not remember the window"
if grep -n "ERROR" "$run_dir/log.txt"; then fail "log.txt reports an error"; fi

if [ "$failures" -ne 0 ]; then
  echo "window e2e: $failures failure(s); log.txt:"
  cat "$run_dir/log.txt" 2> /dev/null
  exit 1
fi
echo "window e2e: switched both ways, resized, clicked at the new size; screenshots in $out_dir"
