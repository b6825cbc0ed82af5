#!/usr/bin/env bash
# Starts the built game in an empty folder, as a player who lost the Data folder
# would, inside a virtual X server. The game must stop with a non-zero exit status,
# one line on standard error naming the problem and log.txt, the unchanged ERROR
# line in log.txt, and a message box, whose OK button is clicked as a player
# would. Exit 77 (skipped) without Xvfb or xdotool.
#   start_without_data.sh GAME_BINARY OUTPUT_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
game=$1
out=$2
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
rm -rf "$out" && mkdir -p "$out/run"
# The game looks for its data beside its binary too: a copy of the binary alone is a
# game folder that lost its Data.
cp "$game" "$out/run/" && game="$out/run/$(basename "$game")"
cd "$out/run"

# Inside the X server: start the game, wait for its stderr line (written just before
# the box opens), screenshot the box, click its OK; give up after 60 s.
cat > "$out/drive.sh" <<'DRIVE'
game=$1; out=$2
# In the sanitizer build, Mesa and X11 leave buffers behind at exit that carry no
# names to suppress; the exit status must be the game's own.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$game" 2>"$out/stderr.txt" &
pid=$!
boxSeen=no
for _ in $(seq 1 240); do
  kill -0 "$pid" 2>/dev/null || break
  # Only once the game's own line is there: its window is gone by then, and the
  # one window captioned Tavrolith is the box.
  if grep -q '^Tavrolith stopped: ' "$out/stderr.txt"; then
    for id in $(xdotool search --onlyvisible --class '.*' 2>/dev/null); do
      [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Tavrolith ] || continue
      [ "$boxSeen" = no ] && sleep 0.5 && import -window root "$out/message_box.png" 2>/dev/null
      boxSeen=yes
      # The box's one button, OK, sits centred near its bottom edge.
      eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
      xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 24)) click 1
    done
  fi
  sleep 0.25
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the game did not end within 60 s"; kill -9 "$pid"; exit 3
fi
wait "$pid"
status=$?
echo "$status" > "$out/status.txt"
echo "$boxSeen" > "$out/box_seen.txt"
DRIVE
timeout 120 bash "$here/../support/run_in_xvfb.sh" 800x600x16 bash "$out/drive.sh" "$game" "$out"
status=$(cat "$out/status.txt" 2>/dev/null || echo missing)

failed=0
check() { if ! eval "$2"; then echo "FAIL: $1"; failed=1; fi; }
echo "exit status: $status"
echo "stderr: $(grep "^Tavrolith stopped: " "$out/stderr.txt")"
check "exit status is non-zero" '[ "$status" != missing ] && [ "$status" -ne 0 ]'
check "the game wrote one line to standard error" '[ "$(grep -c "^Tavrolith stopped: " "$out/stderr.txt")" -eq 1 ]'
check "the line names the problem" 'grep -q "Failed to open font-texture xFont.tga." "$out/stderr.txt"'
check "the line names log.txt" 'grep -q "$out/run/log.txt" "$out/stderr.txt"'
check "log.txt keeps its ERROR line" 'grep -qx "ERROR: Failed to open font-texture xFont.tga." log.txt'
check "a message box was shown" '[ "$(cat "$out/box_seen.txt" 2>/dev/null)" = yes ]'
exit $failed
