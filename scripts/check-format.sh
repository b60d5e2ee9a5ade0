#!/bin/sh
# Fails naming every C++ file that clang-format would change (the house style is .clang-format).
# Usage: scripts/check-format.sh [SOURCE_DIR]   (scripts/check-format.sh --fix rewrites them instead)
set -eu
fix=0
if [ "${1:-}" = "--fix" ]; then fix=1; shift; fi
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"
files=$(find app platform protocol serial skin ui widgets tools tests bench fuzz \
        -name '*.cpp' -o -name '*.h' | sort)
if [ "$fix" = 1 ]; then
    echo "$files" | xargs clang-format -i
    exit 0
fi
bad=0
for f in $files; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "$f: not formatted (scripts/check-format.sh --fix)"
        bad=1
    fi
done
exit $bad
