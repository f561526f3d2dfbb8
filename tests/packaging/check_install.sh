#!/usr/bin/env bash
# Installs the build into a fresh prefix, checks the installed tree, then builds and
# runs a consumer project against it through find_package and through pkg-config.
#   check_install.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

libdir=$(find "$prefix" -name 'libkorvid.so.*.*' -printf '%h\n' | head -n 1)
[ -n "$libdir" ] || { echo "libkorvid.so.X.Y not installed"; exit 1; }
for link in libkorvid.so libkorvid.so.7; do
  [ -L "$libdir/$link" ] || { echo "missing symlink $link"; exit 1; }
done
soname=$(objdump -p "$libdir/libkorvid.so" | awk '/SONAME/ {print $2}')
[ "$soname" = libkorvid.so.7 ] || { echo "SONAME is '$soname'"; exit 1; }
for file in include/korvid.h lib/udev/rules.d/60-korvid.rules; do
  [ -f "$prefix/$file" ] || { echo "missing $file"; exit 1; }
done
[ -f "$libdir/pkgconfig/korvid.pc" ] || { echo "missing korvid.pc"; exit 1; }
[ -f "$libdir/cmake/KORVID/KORVIDConfig.cmake" ] || { echo "missing KORVIDConfig.cmake"; exit 1; }
if [ -f "$build/app/workbench/KORVID_Demo" ]; then
  for file in bin/KORVID_Demo share/applications/korvid-demo.desktop \
              share/icons/hicolor/128x128/apps/korvid-demo.png; do
    [ -e "$prefix/$file" ] || { echo "missing $file"; exit 1; }
  done
fi

cmake -S "$source/tests/packaging/consumer" -B "$work/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_SKIP_RPATH=ON \
  "-DCMAKE_C_FLAGS=${KORVID_CONSUMER_CFLAGS:-}" >/dev/null
PKG_CONFIG_PATH="$libdir/pkgconfig" cmake "$work/consumer" >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/consumer/consumer_cmake"
LD_LIBRARY_PATH="$libdir" "$work/consumer/consumer_pkgconfig"
echo "install tree and consumer: ok"
