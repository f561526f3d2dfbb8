#!/bin/sh
# Runs a cross-built test program under wine for CTest, and fails it when it ended
# without having run: under WINEDEBUG=-all a program that cannot start prints
# nothing, and a program the loader cannot run at all may even end with status 0.
#   run_under_wine.sh WINE MARKER PROGRAM [ARGUMENT...]
# MARKER is an extended regular expression that a program which ran prints.
wine=$1
marker=$2
shift 2
output=$(mktemp)
"$wine" "$@" >"$output" 2>&1
status=$?
cat "$output"
if [ "$status" -eq 0 ] && ! grep -Eq -- "$marker" "$output"; then
  echo "run_under_wine.sh: $1 ended with status 0 but never printed /$marker/: it did not run" >&2
  status=1
fi
rm -f "$output"
exit "$status"
