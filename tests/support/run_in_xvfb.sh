#!/usr/bin/env bash
# Runs one command inside a virtual X server of its own and returns its exit status.
#   run_in_xvfb.sh SCREEN COMMAND [ARGS...]      (SCREEN as in 800x600x16)
# Xvfb chooses a free display itself (start_xvfb in xvfb_session.sh), so servers
# started at the same moment by parallel tests, or by other builds on the machine,
# never share a number the way xvfb-run -a can let them.
set -u
screen=$1
shift
command -v Xvfb > /dev/null || { echo "Xvfb is not installed"; exit 1; }
source "$(dirname "$0")/xvfb_session.sh"
log=$(mktemp)
if ! start_xvfb "$screen" "$log"; then
  echo "Xvfb did not start:"; cat "$log"; rm -f "$log"
  stop_session
  exit 1
fi
rm -f "$log"
"$@"
status=$?
stop_session
exit "$status"
