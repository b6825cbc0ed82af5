#!/usr/bin/env bash
# One running game per player, under Xvfb: a first game runs, another window is
# put over it, and a second start on the same folder must end with status 0
# within two seconds, say so in one line, leave the first game's log alone and
# bring the first game's window to the top. With the lock bypassed by its test
# switch a second game does start.
#
# Usage: single_instance.sh <game folder> <output folder>
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
out_dir=${2:?output folder}
here=$(cd "$(dirname "$0")" && pwd)

. "$here/../support/xvfb_session.sh"
require_tools Xvfb xdotool xmessage xwininfo import
require_game_files "$game_dir" tavrolith Data/data.pkg Data/Levels.ini Data/Textures.ini
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
run_dir="$out_dir/game"
copy_game "$game_dir" "$run_dir" data.pkg Textures.ini Levels.ini Audio

cover_pid=""
second_pid=""
finish() {
  for pid in "$cover_pid" "$second_pid"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then kill "$pid"; fi
  done
  stop_session
}
trap finish EXIT
start_xvfb 800x600x24 "$out_dir/xvfb.log" || { echo "SKIP: Xvfb did not start"; exit 77; }

# In a sanitizer build the real game's system libraries (Mesa, X11, D-Bus) leave
# buffers that the exit-time leak check reports without names; leak checking stays
# off for the game processes, as in the other end-to-end runs.
game_asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export ASAN_OPTIONS="$game_asan_options"
(cd "$run_dir" && SDL_AUDIODRIVER=dummy exec ./tavrolith) &
game_pid=$!
find_game_window || { echo "FAIL: the first game shows no window"; exit 1; }
first_window=$window
sleep 2

# Another program's window over the game: xwininfo lists the top of the stack first.
xmessage -geometry 400x200+100+100 "covering the game" &
cover_pid=$!
top_window() { xwininfo -root -children | awk '/^ +0x/ {print $1; exit}'; }
is_cover_on_top() { [ "$(top_window)" != "$(printf '0x%x' "$first_window")" ]; }
wait_until 5 is_cover_on_top || fail "the covering window did not come over the game"
shot covered

start=$(date +%s%N)
(cd "$run_dir" && SDL_AUDIODRIVER=dummy exec ./tavrolith) > "$out_dir/second.out" 2>&1 &
second_pid=$!
for _ in $(seq 1 40); do
  kill -0 "$second_pid" 2> /dev/null || break
  sleep 0.05
done
if kill -0 "$second_pid" 2> /dev/null; then
  fail "the second start still runs after two seconds"
else
  wait "$second_pid"
  second_rc=$?
  second_pid=""
  elapsed_ms=$((($(date +%s%N) - start) / 1000000))
  echo "second start ended with status $second_rc after $elapsed_ms ms"
  [ "$second_rc" -eq 0 ] || fail "the second start ended with status $second_rc"
  lines=$(wc -l < "$out_dir/second.out")
  echo "its output: $(cat "$out_dir/second.out")"
  [ "$lines" -eq 1 ] || fail "the second start wrote $lines lines instead of one"
fi

is_game_on_top() { [ "$(top_window)" = "$(printf '0x%x' "$first_window")" ]; }
wait_until 3 is_game_on_top || fail "the first game's window did not come to the front"
shot front
kill -0 "$game_pid" 2> /dev/null || fail "the first game is gone"
grep -q "brought this window to the front" "$run_dir/log.txt" ||
  fail "the first game's log does not show the front request"
[ "$(grep -c "log start" "$run_dir/log.txt")" -eq 1 ] || fail "the second start touched the log"

# The test switch: without the lock a second game starts and keeps running.
(cd "$run_dir" && TAVROLITH_NO_INSTANCE_LOCK=1 SDL_AUDIODRIVER=dummy exec ./tavrolith) \
  > /dev/null 2>&1 &
second_pid=$!
sleep 3
kill -0 "$second_pid" 2> /dev/null || fail "with the lock bypassed the second game did not start"
kill -TERM "$second_pid" 2> /dev/null
wait "$second_pid" 2> /dev/null
second_pid=""

kill -TERM "$game_pid"
wait_game_exit 10
[ "$game_rc" = 0 ] || fail "the first game ended with $game_rc"
echo "$failures failed checks"
[ "$failures" -eq 0 ]
