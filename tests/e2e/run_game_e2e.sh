#!/usr/bin/env bash
# Plays the built game under Xvfb the way a player would: starts it from a copy of
# its folder, watches the intro, starts a time-attack level from the menu, turns
# arrows, pauses, resumes, leaves to the menu, plays a classic level to its
# level-complete scroll, then closes the game with the top bar's close button.
# Screenshots go to <out>/*.png. Fails when the game logs an ERROR, exits with a
# non-zero code, or leaves any of Data/Hiscore.dat, Data/Config.ini, Data/Last.dat
# unwritten.
#
# The copy of the game folder gets two test-only files so the level-complete
# scroll is reached in seconds: a Levels.ini whose level 2 is a board of blue
# arrows all pointing up (it clears itself), and a Last.dat that unlocks level 2
# of classic mode (completing it reaches level 3, which Last.dat then unlocks).
#
# Usage: run_game_e2e.sh <game folder> <output folder>
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
source "$(dirname "$0")/../support/xvfb_session.sh"
require_tools Xvfb xdotool import
require_game_files "$game_dir" tavrolith Data/data.pkg Data/Levels.ini Data/Textures.ini \
  Data/Audio/Music.ogg
use_out_dir "${2:?output folder}"
run_dir="$out_dir/game"
copy_game "$game_dir" "$run_dir"

# Level 2 becomes a board that clears itself at once.
/usr/bin/python3 - "$game_dir/Data/Levels.ini" "$run_dir/Data/Levels.ini" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="latin-1").read()
instant = ("[2]\nLetterProbability = 0\nLevelData = " + "00" * 100 + "\n" +
           "".join("Association_%d_priority = %d\n" % (k, 50 if k < 2 else 0) for k in range(9)) +
           "Blocks = 3\nTime = 120\n\n")
text, count = re.subn(r"\[2\]\n.*?(?=\n\[3\])\n", instant, text, flags=re.S)
if count != 1:
    sys.exit("level 2 not found in Levels.ini")
open(sys.argv[2], "w", encoding="latin-1").write(text)
PY
# Time attack: level 1 only; classic: levels 1 and 2.
printf '\x01\x00\x00\x00\x02\x00\x00\x00' > "$run_dir/Data/Last.dat"

trap stop_session EXIT
if ! start_xvfb 800x600x16 "$out_dir/xvfb.log"; then
  echo "FAIL: Xvfb did not start"
  cat "$out_dir/xvfb.log"
  exit 1
fi

# Game coordinates have their origin at the bottom-left; the screen's at the top-left.
click() {
  xdotool mousemove "$1" "$((600 - $2))"
  sleep 0.15
  xdotool mousedown "${3:-1}"
  sleep 0.1
  xdotool mouseup "${3:-1}"
  sleep 0.15
}

# In a sanitizer build the whole game loads Mesa, X11, ALSA and D-Bus modules
# that leave buffers behind and are unloaded before the exit-time leak check,
# so their reports carry no names to suppress. Leak checking stays off for this
# one process; memory errors and undefined behaviour still abort it, and the
# game's own leaks are checked by the headless whole-game flow tests.
game_asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
(cd "$run_dir" && SDL_AUDIODRIVER=dummy ASAN_OPTIONS="$game_asan_options" exec ./tavrolith) &
game_pid=$!

window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Tavrolith$' 2> /dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window captioned Tavrolith"

sleep 3
shot 01-intro
# The intro lasts nine seconds; the menu shows the plate of "Time Attack".
sleep 5
wait_until 60 screen_box_near 640 360 770 385 103 67 54 16 || fail "the menu did not appear"
sleep 0.5
shot 02-menu

# Time attack, level 1: the menu fades out, the game screen fades in.
click 708 107
sleep 2.5
# The first press starts the clock; then a few arrows are turned both ways.
click 525 325
click 525 325
click 425 275
click 475 375 3
click 325 125
sleep 1
shot 03-game

# Pause, resume, pause again and leave to the menu.
click 118 275
wait_until 30 screen_box_near 330 150 470 172 101 59 54 16 || fail "the pause dialog did not appear"
shot 04-pause-dialog
click 400 350
sleep 1
click 118 275
sleep 0.8
click 400 300
sleep 2.5
shot 05-after-game
# If the turned arrows scored, the high-score table asks for a name.
xdotool type --delay 80 "Xvfb"
xdotool key Return
sleep 0.3
click 400 157
wait_until 30 screen_box_near 640 360 770 385 103 67 54 16 || fail "the menu did not come back"

# Classic mode, level 2 (unlocked by the test's Last.dat, so the selector starts
# there): it clears itself.
click 86 107
# The level-complete scroll: parchment in the middle of the screen.
wait_until 60 screen_box_near 420 250 580 400 233 213 170 16 || fail "the level-complete scroll did not appear"
sleep 1
shot 06-level-complete
click 500 95
sleep 2
shot 07-next-level

# The close button of the top bar ends the game.
click 776 589
for _ in $(seq 1 100); do
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

log="$run_dir/log.txt"
if [ ! -f "$log" ]; then
  fail "no log.txt"
elif grep -n "ERROR" "$log"; then
  fail "log.txt reports an error"
fi
for file in Hiscore.dat Config.ini Last.dat; do
  [ -s "$run_dir/Data/$file" ] || fail "Data/$file was not written"
done
last=$(od -An -tu4 -v "$run_dir/Data/Last.dat" | tr -s ' ')
[ "$last" = " 1 3" ] || fail "Data/Last.dat holds '$last' instead of ' 1 3'"
for name in 01-intro 02-menu 03-game 04-pause-dialog 06-level-complete; do
  [ -s "$out_dir/$name.png" ] || fail "no screenshot $name.png"
done
screenshots_show_the_game "$out_dir" 01-intro 02-menu 03-game 04-pause-dialog 06-level-complete ||
  fail "the screenshots do not show the game"

if [ "$failures" -ne 0 ]; then
  echo "e2e: $failures failure(s); log.txt:"
  cat "$log" 2> /dev/null
  exit 1
fi
echo "e2e: the game ran, exited 0 and wrote its three files; screenshots in $out_dir"
