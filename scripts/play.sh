#!/usr/bin/env bash
# Starts the built game from its own folder, where it finds Data/ and writes log.txt.
set -euo pipefail
build=${1:-build}
game="$build/game/tavrolith"
if [ ! -x "$game" ]; then
  echo "There is no game yet: the build has no $game. Run 'make test' to build and test what exists."
  exit 0
fi
cd "$build/game"
exec ./tavrolith
