#!/bin/sh
# The Windows install tree (what cpack -G ZIP packs): KORVID_Demo.exe, korvid.exe
# and KORVID.dll in bin, importing nothing but Windows' own DLLs and KORVID.dll,
# so that bin/ may be copied anywhere.
#   check_install_tree.sh BUILD_DIR OBJDUMP
set -eu
build=$1
objdump=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cmake --install "$build" --prefix "$tree" >/dev/null
status=0
for file in bin/KORVID_Demo.exe bin/korvid.exe bin/KORVID.dll lib/KORVID.lib lib/KORVID.def \
            include/korvid.h include/korvid_ext.h; do
  if [ ! -f "$tree/$file" ]; then
    echo "check_install_tree.sh: $file is missing" >&2
    status=1
  fi
done
# The system DLLs the programs may import; anything else would have to be shipped.
system='^(ADVAPI32|CFGMGR32|COMCTL32|comdlg32|GDI32|HID|KERNEL32|msvcrt|ole32|SETUPAPI|SHELL32|USER32|KORVID)\.(dll|DLL)$'
for program in KORVID_Demo.exe korvid.exe KORVID.dll; do
  for dll in $("$objdump" -p "$tree/bin/$program" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    if ! echo "$dll" | grep -Eiq "$system"; then
      echo "check_install_tree.sh: $program imports $dll, which Windows does not have" >&2
      status=1
    fi
  done
done
[ "$status" -eq 0 ] && echo "check_install_tree.sh: the install tree holds the programs, the library and its headers"
exit "$status"
