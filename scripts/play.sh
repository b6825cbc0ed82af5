#!/usr/bin/env bash
# Starts the built game from its own folder, where it finds Data/ and writes log.txt.
set -euo pipefail
build=${1:-build}
game="$build/game/tavrolith"
if [ ! -x "$game" ]; then
  echo "The build left no game at $game; see the build output above." >&2
  exit 1
fi
cd "$build/game"
exec ./tavrolith
