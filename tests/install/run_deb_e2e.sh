#!/usr/bin/env bash
# The Debian package end to end: builds it with CPack from the build's install
# rules, checks it with lintian, unpacks it into a temporary root and runs the
# unpacked binary under Xvfb as a player with an empty home folder. The menu must
# appear, the top bar's close button must end the game with exit code 0, the
# player's files must land in $HOME/.local/share/tavrolith/ (mode 0700) and nothing
# may be written inside the unpacked tree. Leaves the package, the lintian output,
# the dpkg-deb listings and the screenshot in <out>.
#
# Usage: run_deb_e2e.sh <build folder> <output folder>
set -uo pipefail

build_dir=$(cd "${1:?build folder}" && pwd)
out_dir=${2:?output folder}
here=$(cd "$(dirname "$0")" && pwd)
skip=77

for tool in cpack dpkg-deb dpkg-shlibdeps lintian Xvfb xdotool import; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed"
    exit $skip
  fi
done

rm -rf "$out_dir"
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
source "$here/../support/xvfb_session.sh"

# --- The package.
if ! cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out_dir/cpack" \
    > "$out_dir/cpack.log" 2>&1; then
  cat "$out_dir/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
deb=$(ls "$out_dir"/cpack/tavrolith_*.deb 2> /dev/null | head -n 1)
if [ -z "$deb" ]; then
  echo "FAIL: cpack left no tavrolith_*.deb"
  exit 1
fi
dpkg-deb -I "$deb" > "$out_dir/dpkg-info.txt"
dpkg-deb -c "$deb" > "$out_dir/dpkg-contents.txt"
echo "package: $deb"
cat "$out_dir/dpkg-info.txt"

grep -q '^ Section: games$' "$out_dir/dpkg-info.txt" || fail "the package is not in section games"
grep -q '^ Depends: .*libsdl2' "$out_dir/dpkg-info.txt" || fail "the package does not depend on SDL2"
for path in ./usr/games/tavrolith ./usr/share/games/tavrolith/Data/data.pkg \
    ./usr/share/games/tavrolith/Data/data@2x.pkg \
    ./usr/share/games/tavrolith/Data/Levels.ini ./usr/share/applications/tavrolith.desktop \
    ./usr/share/metainfo/tavrolith.metainfo.xml ./usr/share/man/man6/tavrolith.6.gz \
    ./usr/share/doc/tavrolith/copyright ./usr/share/doc/tavrolith/changelog.gz \
    ./usr/share/icons/hicolor/16x16/apps/tavrolith.png \
    ./usr/share/icons/hicolor/256x256/apps/tavrolith.png; do
  grep -q " $path\$" "$out_dir/dpkg-contents.txt" || fail "the package has no $path"
done

# lintian: errors fail the test; warnings are shown.
lintian --tag-display-limit 0 "$deb" > "$out_dir/lintian.txt" 2>&1
echo "lintian:"
cat "$out_dir/lintian.txt"
if grep -q '^E: ' "$out_dir/lintian.txt"; then
  fail "lintian reports errors"
fi

# --- The unpacked game, run by a player with an empty home.
root="$out_dir/root"
dpkg-deb -x "$deb" "$root"
snapshot() { (cd "$root" && find . -printf '%p %s %m %T@\n' | sort); }
snapshot > "$out_dir/tree-before.txt"
home="$out_dir/home"
mkdir -p "$home"

trap stop_session EXIT
start_xvfb 800x600x16 "$out_dir/xvfb.log" || { echo "FAIL: Xvfb did not start"; exit 1; }

# Leak checking stays off for the whole game under a sanitizer, as in the other
# end-to-end test: the X, GL and sound libraries keep buffers of their own.
game_asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
(cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" SDL_AUDIODRIVER=dummy \
   ASAN_OPTIONS="$game_asan_options" "$root/usr/games/tavrolith") &
game_pid=$!
find_game_window || fail "no window captioned Tavrolith"

# The intro lasts nine seconds; then the menu shows the plate of "Time Attack".
if wait_for_game 640 360 770 385 103 67 54 40; then
  sleep 0.5
  import -window root "$out_dir/menu.png"
else
  import -window root "$out_dir/menu.png"
  fail "the menu did not appear (see menu.png)"
fi
click_game 776 589  # the top bar's close button
wait_game_exit 15
[ "$game_rc" = 0 ] || fail "the game ended with '$game_rc' instead of exit code 0"

player="$home/.local/share/tavrolith"
for file in log.txt Hiscore.dat Config.ini Last.dat; do
  [ -s "$player/$file" ] || fail "$player/$file was not written"
done
[ "$(stat -c %a "$player" 2> /dev/null)" = 700 ] || fail "$player is not mode 0700"
if grep -n "ERROR" "$player/log.txt"; then fail "log.txt reports an error"; fi
written=$(cd "$home" && find . -mindepth 1 -not -path './.local' -not -path './.local/share' \
          -not -path './.local/share/tavrolith' -not -path './.local/share/tavrolith/*')
[ -z "$written" ] || fail "the game wrote outside its folder in HOME: $written"
snapshot > "$out_dir/tree-after.txt"
if ! diff -u "$out_dir/tree-before.txt" "$out_dir/tree-after.txt"; then
  fail "the game wrote inside the unpacked tree"
fi

if [ "$failures" -ne 0 ]; then
  echo "deb e2e: $failures failure(s); log.txt:"
  cat "$player/log.txt" 2> /dev/null
  exit 1
fi
echo "deb e2e: lintian clean of errors, the unpacked game ran from $root, exited 0 and"
echo "kept its files in $player"
