#!/usr/bin/env bash
# Runs every benchmark program; each prints "name value unit" lines.
set -euo pipefail
build=${1:-build}
status=0
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue  # not the build's own folders
  "$b" || status=1
done
exit $status
