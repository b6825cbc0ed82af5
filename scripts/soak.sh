#!/usr/bin/env bash
# The soak (make soak): first the real game headless, played by the soak player for
# GAME_SECONDS of game time (an hour by default) at the fixed 60 Hz step, as fast as
# the machine goes; then the real binary inside a virtual X server for WALL_SECONDS
# (ten minutes by default), clicked by xdotool like a player who turns arrows,
# answers the dialogs and starts new games. Reports resident memory (start, end,
# peak), the effect pools, the texture catalogue, the shown windows, the
# notification handlers and the loaded sounds, and every ERROR line of log.txt;
# fails on an ERROR or on more than 1 MB of growth after the first ten minutes of
# game time (the warm-up: every picture and sound loaded).
#   scripts/soak.sh [BUILD_DIR] [GAME_SECONDS] [WALL_SECONDS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
game_seconds=${2:-3600}
wall_seconds=${3:-600}
out="$build/soak"
mkdir -p "$out"
failed=0

echo "=== headless: $game_seconds s of game time ==="
start=$(date +%s)
"$build/tavrolith-soak" --folder "$out/headless" --data "$build/game/Data" \
  --seconds "$game_seconds" | tee "$out/headless.txt" || failed=1
echo "wall time: $(( $(date +%s) - start )) s"
# The samples are one per minute of game time: RSS at ten minutes against the end.
read -r warm final < <(awk '$1 ~ /^[0-9]+$/ && NF == 8 { rss[$1] = $2; last = $2 }
  END { print (600 in rss ? rss[600] : last), last }' "$out/headless.txt")
growth=$(( final - warm ))
echo "RSS after warm-up ${warm} kB, at the end ${final} kB, growth ${growth} kB"
if [ "$growth" -gt 1024 ]; then
  echo "FAIL: resident memory grew by more than 1 MB after the warm-up"
  failed=1
fi

echo "=== real binary under Xvfb: $wall_seconds s ==="
run="$out/xvfb"
rm -rf "$run" && mkdir -p "$run/Data"
for name in data.pkg Textures.ini Levels.ini Audio; do ln -s "$build/game/Data/$name" "$run/Data/$name"; done
cat > "$out/drive.sh" <<'DRIVE'
set -u
game=$1; run=$2; seconds=$3; out=$4
(cd "$run" && SDL_AUDIODRIVER=dummy exec "$game") 2>"$out/xvfb-stderr.txt" &
pid=$!
click() {  # game coordinates, origin bottom-left
  xdotool mousemove "$1" "$((600 - $2))" mousedown "${3:-1}"
  sleep 0.05
  xdotool mouseup "${3:-1}"
}
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0; }
sleep 12  # the intro
echo "wall s    RSS kB"
started=$SECONDS
next_sample=0
while [ $(( SECONDS - started )) -lt "$seconds" ] && kill -0 "$pid" 2>/dev/null; do
  elapsed=$(( SECONDS - started ))
  if [ "$elapsed" -ge "$next_sample" ]; then
    printf '%6d %9s\n' "$elapsed" "$(rss)"
    import -window root "$out/xvfb-latest.png" 2>/dev/null || true
    next_sample=$(( next_sample + 60 ))
  fi
  # Turn a few arrows, then answer whatever dialog may be up: level complete, game
  # over, the high-score entry (a name and Return, then OK), and start a new game
  # from the menu. Clicks where no dialog is just turn an arrow or hit nothing.
  for _ in 1 2 3 4 5 6; do
    click $(( 275 + 50 * (RANDOM % 10) )) $(( 75 + 50 * (RANDOM % 10) )) $(( RANDOM % 2 ? 1 : 3 ))
    sleep 0.4
  done
  click 502 95; click 400 302
  xdotool type --delay 30 "Soak"; xdotool key Return; click 400 157
  click 92 107
done
printf '%6d %9s (end)\n' $(( SECONDS - started )) "$(rss)"
awk '/^VmHWM:/ { print "peak RSS " $2 " kB" }' "/proc/$pid/status" 2>/dev/null
if kill -0 "$pid" 2>/dev/null; then
  kill -TERM "$pid"; wait "$pid"; echo "game exit status after SIGTERM: $?"
else
  wait "$pid"; echo "FAIL: the game ended by itself with status $?"; exit 1
fi
DRIVE
timeout $(( wall_seconds + 120 )) xvfb-run -a -s "-screen 0 800x600x16" \
  bash "$out/drive.sh" "$build/game/tavrolith" "$run" "$wall_seconds" "$out" | tee "$out/xvfb.txt" || failed=1
grep -q '^FAIL' "$out/xvfb.txt" && failed=1
errors=$(grep -c 'ERROR' "$run/log.txt" || true)
echo "ERROR lines in the real game's log.txt: $errors"
grep 'ERROR' "$run/log.txt" || true
[ "$errors" -eq 0 ] || failed=1
[ "$failed" -eq 0 ] && echo "soak passed" || echo "soak FAILED"
exit "$failed"
