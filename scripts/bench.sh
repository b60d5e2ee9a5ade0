#!/usr/bin/env bash
# Runs every benchmark program; each prints "name value unit" lines.
set -euo pipefail
build=${1:-build}
status=0
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue  # not the build's own folders
  case "$b" in
  */bench_hotplug)
    # Plugs mock adapters: the testbed needs umockdev's wrapper.
    if ! command -v umockdev-wrapper >/dev/null; then
      echo "bench_hotplug: skipped, umockdev-wrapper is not installed" >&2
      continue
    fi
    umockdev-wrapper "$b" || status=1
    ;;
  *) "$b" || status=1 ;;
  esac
done
exit $status
