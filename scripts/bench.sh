#!/usr/bin/env bash
# Runs every benchmark program; each prints "name value unit" lines.
set -euo pipefail
build=${1:-build}
status=0
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  "$b" || status=1
done
exit $status
