#!/usr/bin/env bash
# Runs one command inside a virtual X server of its own and returns its exit status.
#   run_in_xvfb.sh SCREEN COMMAND [ARGS...]      (SCREEN as in 800x600x16)
# Xvfb chooses a free display itself (-displayfd), so servers started at the same
# moment by parallel tests, or by other builds on the machine, never share a number
# the way xvfb-run -a can let them.
set -u
screen=$1
shift
command -v Xvfb > /dev/null || { echo "Xvfb is not installed"; exit 1; }
log=$(mktemp)
exec 5< <(Xvfb -displayfd 1 -screen 0 "$screen" -nolisten tcp 2> "$log" & echo "pid $!")
read -r _ xvfb_pid <&5
number=""
for _ in $(seq 1 300); do
  if read -r -t 0.1 number <&5 && [ -n "$number" ]; then break; fi
done
if [ -z "$number" ]; then
  echo "Xvfb did not start:"; cat "$log"; rm -f "$log"
  kill "$xvfb_pid" 2> /dev/null
  exit 1
fi
rm -f "$log"
DISPLAY=":$number" "$@"
status=$?
kill "$xvfb_pid" 2> /dev/null
wait "$xvfb_pid" 2> /dev/null
exit "$status"
