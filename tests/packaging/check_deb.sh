#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks its file list and its
# dependency line (which dpkg-shlibdeps derives from the shared-library needs).
#   check_deb.sh BUILD-DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
deb=$(ls "$work"/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#')
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
status=0
expect_file() {
  grep -qE "$1" <<<"$files" || { echo "package lacks $1"; status=1; }
}
expect_depends() {
  grep -qE "(^|, )$1( |,|$)" <<<"$depends" || { echo "Depends lacks $1"; status=1; }
}
expect_file '^/usr/lib/(x86_64-linux-gnu/)?libkorvid\.so\.7\.10\.0$'
expect_file '^/usr/lib/(x86_64-linux-gnu/)?libkorvid\.so\.7$'
expect_file '^/usr/include/korvid\.h$'
expect_file '^/usr/lib/(x86_64-linux-gnu/)?pkgconfig/korvid\.pc$'
expect_file '^/usr/lib/(x86_64-linux-gnu/)?cmake/KORVID/KORVIDConfig\.cmake$'
expect_file '^/usr/lib/udev/rules\.d/60-korvid\.rules$'
expect_depends libc6
expect_depends libhidapi-hidraw0
expect_depends 'libusb-1\.0-0'
if [ -f "$build/app/workbench/KORVID_Demo" ]; then
  expect_file '^/usr/bin/KORVID_Demo$'
  expect_file '^/usr/share/applications/korvid-demo\.desktop$'
  expect_file '^/usr/share/icons/hicolor/128x128/apps/korvid-demo\.png$'
  expect_depends libqt6widgets6
  expect_depends qt6-qpa-plugins
fi
if [ -f "$build/cli/korvid" ]; then
  expect_file '^/usr/bin/korvid$'
fi
if grep -q 'libkorvid' <<<"$depends"; then
  echo "Depends names the package's own library"; status=1
fi
dpkg-deb -I "$deb" postinst >/dev/null || { echo "no postinst"; status=1; }
[ $status -eq 0 ] && echo "debian package: ok"
exit $status
