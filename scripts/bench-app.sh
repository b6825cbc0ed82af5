#!/usr/bin/env bash
# The application benchmark: runs a built game on the current X display, the way a
# player would, and measures three scenes (the idle menu, a time-attack level whose
# arrows are being turned, the pause dialog over that level) with frame pacing on and
# off. For each it prints frames per second (the frames the game finished, which it
# writes to TAV_FRAME_RATE_FILE; for older builds Mesa's HUD, drawn invisibly), the
# share of one core the game's process used, CPU milliseconds per frame, the time from
# start to the first presented frame and the process's peak resident memory.
# It measures any build of the game, so an old build can be measured beside a new one
# (an old build without a pacer runs unpaced in both rows).
#
# Usage: bench-app.sh <game folder> <label> <first_frame_probe>
# Environment: MEASURE_SECONDS (default 5) per scene; PACING ("on off" by default).
set -uo pipefail

game_dir=$(cd "${1:?game folder}" && pwd)
label=${2:?label}
probe=${3:?path of first_frame_probe}
seconds=${MEASURE_SECONDS:-5}
pacings=${PACING:-on off}
ticks_per_second=$(getconf CLK_TCK)

read -r screen_width screen_height < <(xdotool getdisplaygeometry)
# The letterbox the game puts its 800x600 picture in.
if [ $((screen_width * 600)) -ge $((screen_height * 800)) ]; then
  box_height=$screen_height
  box_width=$((screen_height * 800 / 600))
else
  box_width=$screen_width
  box_height=$((screen_width * 600 / 800))
fi
box_x=$(((screen_width - box_width) / 2))
box_y=$(((screen_height - box_height) / 2))

# A click at game coordinates (origin bottom-left), mapped into the letterbox.
click() {
  local x=$((box_x + (2 * $1 + 1) * box_width / 1600))
  local y=$((box_y + (2 * (599 - $2) + 1) * box_height / 1200))
  xdotool mousemove "$x" "$y" mousedown "${3:-1}"
  sleep 0.08
  xdotool mouseup "${3:-1}"
  sleep 0.1
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2> /dev/null || echo 0; }

# The frame rates of a run: the game's own count of finished frames where it writes
# one (TAV_FRAME_RATE_FILE), else Mesa's HUD, which counts swaps only (older builds).
rate_file() {
  if [ -s "$1/frames" ]; then echo "$1/frames"; else echo "$1/fps"; fi
}

# measure <pid> <hud dir> <scene> <pacing> <first frame ms>: one result line.
measure() {
  local pid=$1 hud=$2 scene=$3 pacing=$4 first=$5
  local lines_before ticks_before start ticks_after end
  lines_before=$(wc -l < "$(rate_file "$hud")")
  ticks_before=$(cpu_ticks "$pid")
  start=$(date +%s.%N)
  sleep "$seconds"
  ticks_after=$(cpu_ticks "$pid")
  end=$(date +%s.%N)
  local fps
  fps=$(tail -n +"$((lines_before + 1))" "$(rate_file "$hud")" |
    awk '{s += $1; n++} END {printf "%.0f", n ? s / n : 0}')
  local rss mode
  rss=$(awk '/VmHWM/ {printf "%.0f", $2 / 1024}' "/proc/$pid/status")
  # The picture mode in use: the last one the game logged (none from older builds).
  mode=$(grep -ho '^Pictures [a-z]*' "$run_dir/log.txt" "$run_dir/Data/log.txt" 2> /dev/null |
    tail -n 1 | cut -d' ' -f2)
  awk -v label="$label" -v scene="$scene" -v pacing="$pacing" -v fps="$fps" \
    -v ticks=$((ticks_after - ticks_before)) -v hz="$ticks_per_second" -v start="$start" \
    -v end="$end" -v first="$first" -v rss="$rss" -v size="${screen_width}x${screen_height}" \
    -v mode="${mode:--}" 'BEGIN {
      wall = end - start; cpu = ticks / hz
      frames = fps * wall
      per_frame = (frames > 0) ? 1000 * cpu / frames : 0
      printf "%-7s %-9s %-6s %-7s %6d %7.0f %9.2f %8s %6d %s\n", label, size, pacing, scene, fps,
        100 * cpu / wall, per_frame, first, rss, mode
    }'
}

run_once() {
  local pacing=$1
  local run_dir hud out
  run_dir=$(mktemp -d)
  hud="$run_dir/hud"
  out="$run_dir/probe.out"
  mkdir -p "$run_dir/Data" "$hud"
  cp "$game_dir/tavrolith" "$run_dir/"
  for item in data.pkg data@2x.pkg Textures.ini Levels.ini Audio; do
    [ -e "$game_dir/Data/$item" ] && ln -s "$game_dir/Data/$item" "$run_dir/Data/$item"
  done
  # PICTURES=sharp|classic|auto forces the picture mode through Window.ini.
  if [ -n "${PICTURES:-}" ]; then
    printf '[Window]\nWindowed = 0\nPictures = %s\n' "$PICTURES" > "$run_dir/Data/Window.ini"
  fi
  local pacing_setting=on
  [ "$pacing" = off ] && pacing_setting=off
  (cd "$run_dir" && SDL_AUDIODRIVER=dummy TAV_FRAME_PACING=$pacing_setting GALLIUM_HUD=fps \
    GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_PERIOD=0.25 GALLIUM_HUD_DUMP_DIR="$hud" \
    TAV_FRAME_RATE_FILE="$hud/frames" exec "$probe" ./tavrolith > "$out") &
  local probe_pid=$!
  local pid="" first=""
  for _ in $(seq 1 200); do
    pid=$(awk '/^pid/ {print $2}' "$out" 2> /dev/null)
    first=$(awk '/^first_frame_ms/ {print $2}' "$out" 2> /dev/null)
    [ -n "$pid" ] && [ -n "$first" ] && break
    sleep 0.1
  done
  if [ -z "$pid" ]; then
    echo "FAIL: the game did not start" >&2
    return 1
  fi
  # The intro runs nine seconds; then the menu idles.
  sleep 10
  measure "$pid" "$hud" menu "$pacing" "$first"
  # Time attack, level 1: a few arrows turned, and more while measuring.
  click 708 107
  sleep 2.5
  click 525 325
  click 425 275
  (for _ in $(seq 1 $((seconds * 2))); do
    click 475 375 3
    sleep 0.3
  done) &
  local clicker=$!
  measure "$pid" "$hud" level "$pacing" "$first"
  wait "$clicker"
  # The pause dialog over the level.
  click 118 275
  sleep 1.5
  measure "$pid" "$hud" dialog "$pacing" "$first"
  kill "$pid" 2> /dev/null
  wait "$probe_pid" 2> /dev/null
  rm -rf "$run_dir"
}

for pacing in $pacings; do
  run_once "$pacing"
done
