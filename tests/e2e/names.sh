#!/usr/bin/env bash
# Names keep their letters, under Xvfb: four classic games, each left through
# the pause screen's exit to the menu, enter "Żółw", "Ørjan", "Şule" and
# "Łukasz" with xdotool type; the table shows them, Data/Hiscore.dat holds them
# as UTF-8, and after a restart the table still shows them. Screenshots go to
# <out>: the first entry, the second entry with the last name offered, the
# table, and the table after the restart.
#
# Usage: names.sh <game folder> <output folder>
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

. "$here/../support/xvfb_session.sh"
require_tools Xvfb xdotool import
require_game_files "$game_dir" tavrolith Data/data.pkg Data/Levels.ini Data/Textures.ini
use_out_dir "${2:?output folder}"
run_dir="$out_dir/game"
copy_game "$game_dir" "$run_dir" data.pkg Textures.ini Audio
# Level 1 becomes a board of blue arrows all pointing up: it scores at once.
/usr/bin/python3 - "$game_dir/Data/Levels.ini" "$run_dir/Data/Levels.ini" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="latin-1").read()
instant = ("[1]\nLetterProbability = 0\nLevelData = " + "00" * 100 + "\n" +
           "".join("Association_%d_priority = %d\n" % (k, 50 if k < 2 else 0) for k in range(9)) +
           "Blocks = 300\nTime = 120\n\n")
text, count = re.subn(r"\[1\]\n.*?(?=\n\[2\])\n", instant, text, flags=re.S)
if count != 1:
    sys.exit("level 1 not found in Levels.ini")
open(sys.argv[2], "w", encoding="latin-1").write(text)
PY

trap stop_session EXIT
start_xvfb 800x600x24 "$out_dir/xvfb.log" || { echo "SKIP: Xvfb did not start"; exit 77; }

click() {
  xdotool mousemove "$1" "$((600 - $2))"
  sleep 0.15
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.15
}
menu_shown() { screen_box_near 640 360 770 385 103 67 54 16; }

# A player's desktop runs in a UTF-8 locale; in the C locale X11 hands the game
# only the Latin-1 letters it types.
game_window_shown() { find_game_window; }
# Leak checking stays off for the real game in a sanitizer build, as in the other
# end-to-end runs: its system libraries' buffers are reported without names.
game_asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
start_game() {
  (cd "$run_dir" && LC_ALL=C.UTF-8 SDL_AUDIODRIVER=dummy ASAN_OPTIONS="$game_asan_options" \
     exec ./tavrolith) &
  game_pid=$!
  # A loaded machine may take a while to show the window.
  wait_until 60 game_window_shown || fail "no game window"
  sleep 8
  wait_until 60 menu_shown || fail "the menu did not appear"
  sleep 0.5
}

# One classic game of level 1, left through the pause screen to the name entry.
pause_shown() { screen_box_near 330 150 470 172 101 59 54 20; }
hiscores_shown() { screen_box_near 340 62 460 80 113 83 58 14; }
play_and_name() {
  click 86 107
  sleep 4
  click 118 275
  wait_until 30 pause_shown || fail "the pause dialog did not appear"
  sleep 0.8
  click 400 300
  wait_until 30 hiscores_shown || fail "the name entry did not appear"
  # xdotool types a letter the keyboard map lacks by mapping it onto a spare
  # key, pressing it and mapping the key back; a game still busy with its fades
  # may read the press after the key is mapped back and see no letter. So the
  # letters are typed once the screen is still, one at a time.
  sleep 2.5
  [ -n "${2:-}" ] && shot "$2"
  xdotool type --delay 300 "$1"
  sleep 0.5
  [ -n "${3:-}" ] && shot "$3"
  xdotool key Return
  sleep 0.5
}

names=("Żółw" "Ørjan" "Şule" "Łukasz")
start_game
play_and_name "${names[0]}" 01-first-entry
click 400 157
wait_until 30 menu_shown || fail "the menu did not come back"
play_and_name "${names[1]}" 02-second-entry-offers-last-name 03-second-entry-typed
click 400 157
wait_until 30 menu_shown || fail "the menu did not come back"
play_and_name "${names[2]}"
click 400 157
wait_until 30 menu_shown || fail "the menu did not come back"
play_and_name "${names[3]}"
sleep 0.5
shot 04-table
click 400 157
sleep 1
click 776 589
wait_game_exit 10
[ "$game_rc" = 0 ] || fail "the game ended with $game_rc"

for name in "${names[@]}"; do
  if grep -qa "$name" "$run_dir/Data/Hiscore.dat"; then continue; fi
  # xdotool types a capital the keyboard map lacks on a spare key holding that
  # one keysym, which X reads as the small letter (xev shows "oslash" for "Ø"):
  # the small letter arriving is xdotool's doing, a dropped letter the game's.
  small=$(/usr/bin/python3 -c 'import sys; print(sys.argv[1][0].lower() + sys.argv[1][1:])' "$name")
  if grep -qa "$small" "$run_dir/Data/Hiscore.dat"; then
    echo "NOTE: $name arrived as $small (xdotool's capital on a spare key)"
  else
    fail "Hiscore.dat does not hold $name"
  fi
done

start_game
click 462 34
sleep 2
shot 05-table-after-restart
click 776 589
wait_game_exit 10
echo "$failures failed checks"
[ "$failures" -eq 0 ]
