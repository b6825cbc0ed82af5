#!/usr/bin/env bash
# Runs one command under Wine in a prefix of its own, made from the shared prefix
# that the first Wine test set up:
#   own_wine_prefix.sh <shared prefix> <own prefix> <command> [<args>...]
# Each prefix has its own wineserver, so tests in their own prefixes can run at the
# same time: a game started on one virtual screen never joins the Wine session of
# a test started on another screen or on none. The copy is made of hard links, which
# costs neither time nor room; the registry files, which the wineserver rewrites,
# and the users' folders, where the games write, are real copies so that nothing a
# test does reaches the shared prefix.
set -eu
shared=${1:?shared prefix}
own=${2:?own prefix}
shift 2
[ -f "$shared/system.reg" ] || { echo "the shared Wine prefix $shared is not set up"; exit 1; }
WINEPREFIX=$own wineserver -k 2> /dev/null || true
rm -rf "$own"
mkdir -p "$own"
cp -al "$shared/drive_c" "$own/drive_c"
rm -rf "$own/drive_c/users"
cp -a "$shared/drive_c/users" "$own/drive_c/users"
cp -a "$shared/dosdevices" "$shared/.update-timestamp" "$shared"/*.reg "$own/"
export WINEPREFIX=$own
status=0
"$@" || status=$?
# End whatever the command left running in its session (a game killed on purpose
# can leave Wine's own helper processes waiting forever), so that no server is left
# behind holding the folder.
wineserver -k 2> /dev/null || true
exit "$status"
