#!/usr/bin/env bash
# Runs the application benchmark (scripts/bench-app.sh) inside a virtual X server with
# Mesa's software rasteriser, at 800x600 and at 1920x1080, for the given build of the
# game and, when a second game folder is given, for that older build too, so that one
# run measures before and after on the same machine at the same time. The rows labelled
# "drawn" are the new build with frame reuse and partial presents off
# (TAV_FRAME_REUSE=off TAV_PARTIAL_PRESENT=off): every frame drawn draw by draw, scaled
# whole and swapped.
#
# Usage: bench-xvfb.sh [<game folder> [<older game folder>]]
#   default game folder: build/game; the probe comes from the same build's bench/.
# Environment: SCREENS (default "800x600 1920x1080"), MEASURE_SECONDS, PACING, PICTURES
# (sharp, classic or auto: the picture mode written into the runs' Window.ini). The last
# column is the picture mode the game logged last (auto's choice), "-" for older builds.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
game_dir=${1:-$root/build/game}
before_dir=${2:-}
probe=$(cd "$game_dir/.." && pwd)/bench/first_frame_probe
screens=${SCREENS:-800x600 1920x1080}

for tool in Xvfb xdotool; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed"
    exit 0
  fi
done
if [ ! -x "$probe" ]; then
  echo "no $probe: build the benchmarks first (cmake --build build)" >&2
  exit 1
fi

echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)," \
  "load $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-7s %-9s %-6s %-7s %6s %7s %9s %8s %6s %s\n" build screen pacing scene fps "cpu%" \
  "cpu_ms/f" first_ms rss_mb pictures

for screen in $screens; do
  # Without a background option the root window keeps its pattern, which the
  # probe watches for the game's first frame.
  exec 5< <(Xvfb -displayfd 1 -screen 0 "${screen}x24" -nolisten tcp 2> /dev/null & echo "pid $!")
  read -r _ xvfb_pid <&5
  display_number=""
  for _ in $(seq 1 100); do
    if read -r -t 0.1 display_number <&5 && [ -n "$display_number" ]; then break; fi
  done
  if [ -z "$display_number" ]; then
    echo "Xvfb did not start" >&2
    kill "$xvfb_pid" 2> /dev/null
    exit 1
  fi
  export DISPLAY=":$display_number"
  if [ -n "$before_dir" ]; then
    # An old build without a pacer measures the same twice; set PACING=off for it.
    bash "$root/scripts/bench-app.sh" "$before_dir" before "$probe"
  fi
  bash "$root/scripts/bench-app.sh" "$game_dir" after "$probe"
  # The same build drawing every frame in full (no copy of an unchanged beginning),
  # unpaced: the cost of the drawing itself.
  TAV_FRAME_REUSE=off TAV_PARTIAL_PRESENT=off PACING=off bash "$root/scripts/bench-app.sh" "$game_dir" drawn "$probe"
  kill "$xvfb_pid" 2> /dev/null
  wait "$xvfb_pid" 2> /dev/null
  exec 5<&-
done
