#!/bin/sh
# Runs screen_reader_test.py against KORVID_Demo on a virtual screen (xvfb-run)
# with a session bus of its own (dbus-run-session), on which the accessibility
# bus starts when the reader first asks for it, once under each monospace family
# the suite draws with (fonts of its own, checked with fc-match). Exit status 77
# (skipped) when a tool is missing or the virtual screen does not start.
#   screen_reader_test.sh KORVID_Demo
set -u
program=$1
here=$(dirname "$0")
# Debian's own interpreter: the one python3-pyatspi installs its module for.
python=/usr/bin/python3

for tool in xvfb-run dbus-run-session xdotool fc-match; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed"
    exit 77
  fi
done
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
  echo "SKIPPED: $python has no pyatspi (python3-pyatspi)"
  exit 77
fi

# The marker is removed once the virtual screen runs the reader.
marker=$(mktemp)
unset AT_SPI_BUS_ADDRESS
xvfb-run -a -s "-screen 0 1280x800x24" sh -c 'rm -f "$0"; exec dbus-run-session -- "$@"' \
  "$marker" "$python" "$here/screen_reader_test.py" "$program"
status=$?
if [ -e "$marker" ]; then
  rm -f "$marker"
  echo "SKIPPED: the virtual screen did not start"
  exit 77
fi
exit $status
