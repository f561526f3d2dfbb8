#!/bin/sh
# Screenshots of every dialog of KORVID_Demo.exe in Chinese and in English, on
# the wine prefix's virtual screen (run by scripts/dev.sh windows after the
# tests, with its DISPLAY and WINEPREFIX): to be looked at, not compared.
#   screenshots.sh BUILD_DIR   writes BUILD_DIR/screenshots/DIALOG-LANGUAGE.png
set -eu
build=$(cd "$1" && pwd)
out=$build/screenshots
mkdir -p "$out"
cd "$out"
rm -f ./*.png ./*.ready
for language in zh en; do
  for dialog in main area maxcount progress about message badhex; do
    rm -f "$dialog-$language.ready"
    wine "$build/bin/win32_dialog_gallery.exe" "$dialog" "$language" >/dev/null 2>&1 &
    gallery=$!
    waited=0
    while [ ! -e "$dialog-$language.ready" ] && [ "$waited" -lt 200 ]; do
      sleep 0.1
      waited=$((waited + 1))
    done
    if [ -e "$dialog-$language.ready" ]; then
      sleep 0.1  # the dialog's last paint
      import -window root "$dialog-$language.png"
    else
      echo "screenshots.sh: $dialog ($language) did not come up" >&2
    fi
    wait "$gallery" || true
    rm -f "$dialog-$language.ready"
  done
done
echo "== screenshots of every dialog in $out"
