#!/usr/bin/env bash
# Plays the built game under Xvfb with the keyboard alone, never touching the mouse:
# from the intro to the menu, Classic Mode level 1 started with Tab and Enter, the
# board cursor moved and arrows turned (the turned cell's pixels must change), Esc to
# pause and again to resume, the Options opened from the game and the music volume
# lowered with Left (Config.ini must change), back to the menu through the pause
# screen, and Exit. Then a second run in a window is closed through the window's own
# close request (WM_DELETE_WINDOW, as a window manager's close button sends it) and
# must leave as Exit does: status 0 and the player's files written.
# Screenshots go to <out>/*.png.
#
# Given a Wine prefix, the Windows game (Tavrolith.exe) is played the same way under
# Wine; its second run is closed by the close request in full screen.
#
# Usage: run_keys_e2e.sh <game folder> <output folder> [<wine prefix>]
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
wine_prefix=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/xvfb_session.sh"
tools="Xvfb xdotool import"
if [ -n "$wine_prefix" ]; then
  game_program=Tavrolith.exe
  tools="wine $tools"
  export WINEPREFIX=$wine_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fi
# shellcheck disable=SC2086  # the list of tools is split on purpose
require_tools $tools
require_game_files "$game_dir" "$game_program" Data/data.pkg Data/Levels.ini Data/Textures.ini \
  Data/Audio/Music.ogg
use_out_dir "${2:?output folder}"
run_dir="$out_dir/game"
copy_game "$game_dir" "$run_dir" data.pkg Textures.ini Levels.ini Audio
printf '[Sound]\nSoundVolume = 0.50\nMusicVolume = 0.50\nUseSound = 1\nUseMusic = 1\n' \
  > "$run_dir/Data/Config.ini"

trap stop_session EXIT
if ! start_xvfb 800x600x16 "$out_dir/xvfb.log"; then
  echo "FAIL: Xvfb did not start"
  cat "$out_dir/xvfb.log"
  exit 1
fi

game_asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
start_game() {
  if [ -n "$wine_prefix" ]; then
    # A Wine session left by an earlier program keeps the display it started with.
    wineserver -w
    (cd "$run_dir" && exec wine Tavrolith.exe) &
  else
    (cd "$run_dir" && SDL_AUDIODRIVER=dummy ASAN_OPTIONS="$game_asan_options" exec ./tavrolith) &
  fi
  game_pid=$!
  find_game_window || fail "no window captioned Tavrolith"
}

# One key, then a pause for the game to draw what it did. Under Wine the game draws
# far fewer frames, and its fades take as many frames as anywhere: everything waits
# longer there.
key_pause=0.35
settle=1.5
if [ -n "$wine_prefix" ]; then
  key_pause=1
  settle=4
fi
key() {
  for one in "$@"; do
    xdotool key "$one"
    sleep "$key_pause"
  done
}

# The mean colour of a screen box, as "r g b".
box_colour() {
  import -window root png:- 2> /dev/null | /usr/bin/python3 -c '
import io, sys
from PIL import Image
x0, y0, x1, y1 = map(int, sys.argv[1:5])
picture = Image.open(io.BytesIO(sys.stdin.buffer.read())).convert("RGB").crop((x0, y0, x1, y1))
pixels = list(picture.getdata())
print(" ".join("%d" % (sum(p[i] for p in pixels) / len(pixels)) for i in range(3)))
' "$@"
}

# True when the two screenshots differ inside the screen box x0 y0 x1 y1.
shots_differ_in() {
  /usr/bin/python3 - "$out_dir/$1.png" "$out_dir/$2.png" "$3" "$4" "$5" "$6" <<'PY'
import sys
from PIL import Image, ImageChops
a, b = (Image.open(p).convert("RGB") for p in sys.argv[1:3])
box = tuple(int(v) for v in sys.argv[3:7])
sys.exit(0 if ImageChops.difference(a.crop(box), b.crop(box)).getbbox() else 1)
PY
}

# The pause dialog: its title plate and its Resume button (a lesson's picture has a
# title plate of the same colour in the same place).
paused() {
  screen_box_near 330 150 470 172 101 59 54 16 && screen_box_near 372 285 428 300 105 148 154 24
}

# The board is random: the turns may complete level 1, whose summary and then level
# 2's lesson come up over the board once the explosions are over. They are closed
# so that the keys below reach a level in play: the summary by its OK, the lesson by
# the first press on the board, which fades it as a click does (Esc would pause over it).
level_complete_shown() { screen_box_near 340 250 460 350 164 153 126 24; }
lesson_shown() {
  screen_box_near 330 150 470 172 88 68 51 16 && screen_box_near 372 285 428 300 40 56 85 24
}
settle_board() {
  sleep "$settle"
  sleep "$settle"
  for _ in 1 2 3 4 5 6; do
    if level_complete_shown; then
      echo "the turns completed the level: its summary closed with Enter"
      key Return
      sleep "$settle"
      sleep "$settle"
    elif lesson_shown; then
      echo "the next level's lesson closed with Enter"
      key Return
      sleep "$settle"
    else
      return 0
    fi
  done
}

music_volume() {
  sed -n 's/^MusicVolume *= *//p' "$run_dir/Data/Config.ini" | tr -d '\r'
}

# --- The keyboard run, full screen.
start_game
# The intro lasts nine seconds; the menu shows the plate of "Time Attack".
wait_until 120 screen_box_near 640 360 770 385 103 67 54 16 || fail "the menu did not appear"
sleep 0.5
shot 01-menu
key Tab  # the focus shows on Classic Mode's start button
shot 02-menu-focus
key Return
wait_until 120 board_filled || fail "the board did not fill"
sleep 1
# Keys already steer, so the cursor shows on the board's centre (column 5, row 5).
shot 03-game
key Right Left Left Up  # to column 4, row 6
# The cursor moved, so this picture differs from the one before even on a machine
# too busy to animate anything else in between.
shot 04-cursor
key Return              # the first press starts the level's clock
sleep "$settle"
shot 05-before-turn
key Return
sleep "$settle"
shot 06-after-turn
# The middle of column 4, row 6 (game x 450..500, y 350..400; the screen's y runs
# downwards) changes; the middle of a cell far from it does not.
shots_differ_in 05-before-turn 06-after-turn 462 212 488 238 ||
  fail "the arrow under the cursor did not turn"
shots_differ_in 05-before-turn 06-after-turn 662 462 688 488 &&
  fail "an arrow away from the cursor changed"
key shift+Return  # and back
settle_board

# A summary or lesson that came up late takes an Esc of its own first.
for _ in 1 2 3; do
  key Escape
  wait_until 30 paused && break
done
paused || fail "Esc did not pause"
sleep "$settle"
shot 07-paused
key Escape
wait_until 60 board_filled || fail "Esc did not resume"
sleep "$settle"
shot 08-resumed

# Options from the game: Tab runs through the side buttons (pause, options).
key Tab Tab
shot 09-options-focus
key Return
sleep "$settle"
volume_before=$(music_volume)
key Tab Tab  # OK, sound volume, music volume
shot 10-options-music
key Left Left Left
shot 11-options-lowered
key Escape  # the options' OK: the settings are written
sleep "$settle"
volume_after=$(music_volume)
echo "music volume in Config.ini: $volume_before -> $volume_after"
[ -n "$volume_after" ] && [ "$volume_after" != "$volume_before" ] ||
  fail "the music volume in Config.ini did not change ($volume_before -> $volume_after)"

# Back to the menu through the pause screen.
key Escape
sleep "$settle"
key Down Return
sleep "$settle"
sleep "$settle"
shot 12-back
# If the turned arrows scored, the high scores ask for a name; Esc closes them.
if ! screen_box_near 640 360 770 385 103 67 54 16; then
  xdotool type --delay 80 "Keys"
  key Escape
fi
wait_until 60 screen_box_near 640 360 770 385 103 67 54 16 || fail "the menu did not come back"
sleep "$settle"
shot 13-menu-again
# The menu's focus is back on Classic Mode's start; five Tabs reach Exit.
key Tab Tab Tab Tab Tab
shot 14-exit-focus
key Return
wait_game_exit 60
[ "$game_rc" = 0 ] || fail "Exit by keys ended the game with $game_rc"
for file in Hiscore.dat Config.ini Last.dat; do
  [ -s "$run_dir/Data/$file" ] || fail "Data/$file was not written"
done
if grep -n "ERROR" "$run_dir/log.txt"; then fail "log.txt reports an error"; fi

# --- The close request in a window.
rm -f "$run_dir/Data/Hiscore.dat" "$run_dir/Data/Last.dat"
if [ -z "$wine_prefix" ]; then
  printf '[Window]\nWindowed = 1\n' > "$run_dir/Data/Window.ini"
fi
start_game
wait_until 60 test -s "$run_dir/log.txt" || fail "the second run wrote no log"
sleep 4
shot 15-window
# A full-screen SDL window carries the full-screen state even without a window manager.
if [ -z "$wine_prefix" ] && xprop -id "$window" _NET_WM_STATE 2> /dev/null | grep -q FULLSCREEN; then
  fail "the second run is not in a window"
fi
/usr/bin/python3 "$here/../support/close_window.py" "$window" || fail "the close request was not sent"
wait_game_exit 60
[ "$game_rc" = 0 ] || fail "the close request ended the game with $game_rc"
for file in Hiscore.dat Config.ini Last.dat; do
  [ -s "$run_dir/Data/$file" ] || fail "Data/$file was not written after the close request"
done

screenshots_show_the_game "$out_dir" 01-menu 02-menu-focus 03-game 04-cursor 07-paused ||
  fail "the screenshots do not show the game"
if [ "$failures" -ne 0 ]; then
  echo "keys e2e: $failures failure(s); log.txt:"
  cat "$run_dir/log.txt" 2> /dev/null
  exit 1
fi
echo "keys e2e: played by keys alone, exited 0 by Exit and by the close request; screenshots in $out_dir"
