#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, first over its kept
# regression inputs (fuzz/<area>/corpus, beside the target's CMakeLists.txt), then
# exploring from them.
#   scripts/fuzz.sh BUILD-DIR SECONDS-PER-TARGET
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
status=0
for target in "$build"/fuzz/*/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$here/fuzz/$(basename "$(dirname "$target")")/corpus"
  work=$(mktemp -d)
  echo "== $name: ${seconds}s from $corpus"
  dirs=("$work")
  [ -d "$corpus" ] && dirs+=("$corpus")
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$work/" "${dirs[@]}" 2>"$work/log"; then
    tail -n 40 "$work/log"
    echo "fuzz target $name failed; crash inputs in $work (keep them under $corpus)"
    status=1
  fi
done
exit $status
