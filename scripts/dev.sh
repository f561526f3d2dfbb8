#!/usr/bin/env bash
# Set-up, build and run for a fresh Debian 12 machine (as root, or with sudo).
#   scripts/dev.sh run    install what is needed, build, start KORVID_Demo against
#                         the built-in simulated programmer
#   scripts/dev.sh test   install, build with warnings as errors, run every test,
#                         the real-USB-stack suite, then the suite again under
#                         ASan+UBSan, then bounded fuzzing, then the Windows suite
#   scripts/dev.sh usb    install, build, run only the real-USB-stack suite (both
#                         programmers as USB gadgets on a Linux kernel in QEMU)
#   scripts/dev.sh windows  install the mingw-w64 cross compilers and wine, cross-build
#                         KORVID.dll, korvid.exe, KORVID_Demo.exe and the tests for
#                         64-bit Windows into build-win, run the tests under wine on a
#                         virtual screen and photograph every dialog
#                         (build-win/screenshots)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
jobs=$(nproc)

install_packages() { # package lists under scripts/ (default: packages.txt)
  local wanted missing=() list
  wanted=$(for list in "${@:-packages.txt}"; do grep -v '^#' "scripts/$list" | grep -v '^$'; done)
  for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure_and_build() { # build-dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
}

run_tests() { # build-dir
  ctest --test-dir "$1" --output-on-failure -j "$jobs"
}

# A virtual screen of its own for the Windows suite: the first free display from
# :90 on. Sets DISPLAY and virtual_screen (the server's process; global, since the
# exit trap ends it).
start_virtual_screen() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    virtual_screen=$!
    sleep 1
    if kill -0 "$virtual_screen" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "== no display free for Xvfb" >&2
  return 1
}

# The Windows suite: a Release cross build without debug information, linked
# statically (KORVID.dll and the programs import only Windows' own DLLs), its tests
# run by CTest through wine against a wineserver kept running meanwhile (a cold one
# makes every test program start seconds late). Wine draws on a virtual screen of
# the suite's own, in a virtual desktop with CJK font linking
# (tests/win32/wine-prefix.reg), where the dialog tests run KORVID_Demo's windows;
# afterwards every dialog is photographed in both languages.
windows_suite() { # build-dir
  local dir=$1 started=$SECONDS
  echo "== Windows: cross-build KORVID.dll, korvid.exe, KORVID_Demo.exe and the tests, run them under wine"
  configure_and_build "$dir" --toolchain cmake/x86_64-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKORVID_WERROR=ON -DKORVID_BUILD_BENCH=OFF
  export WINEPREFIX=${KORVID_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/korvid/wine64}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
  # Every wine process of the suite, the prefix's creation included, on one screen:
  # the first process's display is the desktop's for the server's whole life.
  start_virtual_screen
  trap 'wineserver -k 2>/dev/null || true; kill "${virtual_screen:-}" 2>/dev/null || true' EXIT
  if [ ! -d "$WINEPREFIX" ]; then
    echo "== creating the wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine wineboot --init >/dev/null 2>&1
  fi
  wine regedit /S "$(winepath -w tests/win32/wine-prefix.reg)" >/dev/null 2>&1
  # A server of this prefix that is still ending (after the creation or the import)
  # is let go, then one that stays until the end of the suite is started.
  wineserver -w
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1  # starts wine's services once, for every test after
  run_tests "$dir"
  # GoogleTest's skips inside a program that passed: shown, never taken for passes.
  grep -ho '^\[  SKIPPED \] [A-Za-z_][A-Za-z0-9_/]*\.[A-Za-z0-9_/]*' \
    "$dir/Testing/Temporary/LastTest.log" | sort -u |
    sed 's/^/== skipped under wine: /' || true
  tests/win32/screenshots.sh "$dir"
  wineserver -k 2>/dev/null || true
  kill "$virtual_screen" 2>/dev/null || true
  trap - EXIT
  echo "== the Windows suite took $((SECONDS - started)) s"
}

case "${1:-}" in
  run)
    install_packages
    configure_and_build build -DKORVID_BUILD_TESTS=OFF -DKORVID_BUILD_BENCH=OFF
    export KORVID_SIMULATE=${KORVID_SIMULATE:-hid}
    echo "== starting KORVID_Demo against the built-in simulated programmer (KORVID_SIMULATE=$KORVID_SIMULATE)"
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      # No screen to show it on: run it on a virtual one and keep a picture of it.
      echo "== no display: running under xvfb-run; screenshot in build/korvid-demo.png"
      xvfb-run -a -s "-screen 0 1280x800x24" sh -c \
        'build/app/qt/KORVID_Demo & sleep 3; import -window root build/korvid-demo.png; kill $!'
      exit 0
    fi
    exec build/app/qt/KORVID_Demo
    ;;
  usb)
    install_packages packages.txt packages-usb.txt
    configure_and_build build-ci -DKORVID_WERROR=ON
    tests/usb_stack/run_guest_suite.sh build-ci
    ;;
  test)
    install_packages packages.txt packages-usb.txt packages-windows.txt
    echo "== build with warnings as errors, all tests"
    configure_and_build build-ci -DKORVID_WERROR=ON
    run_tests build-ci
    echo "== the real USB stack: gadget programmers on a Linux kernel in QEMU"
    tests/usb_stack/run_guest_suite.sh build-ci
    echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build build-asan -DKORVID_WERROR=ON -DKORVID_SANITIZE=ON -DKORVID_BUILD_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan
    echo "== bounded fuzzing (libFuzzer)"
    configure_and_build build-fuzz -DKORVID_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    scripts/fuzz.sh build-fuzz "${KORVID_FUZZ_SECONDS:-30}"
    windows_suite build-win
    ;;
  windows)
    install_packages packages.txt packages-windows.txt
    windows_suite build-win
    ;;
  *)
    echo "usage: $0 run|test|usb|windows" >&2
    exit 2
    ;;
esac
