#!/bin/sh
# Fails naming every C++ file that clang-format would change (the house style is .clang-format).
# Usage: scripts/check-format.sh [SOURCE_DIR]   (scripts/check-format.sh --fix rewrites them instead)
# CLANG_FORMAT names the program to use; otherwise clang-format-MAJOR, then clang-format, is taken
# from the PATH.
set -eu
# Another major version lays the same .clang-format out differently, so the check would fail, or
# --fix rewrite the tree, for no fault of the sources.
major=14
fix=0
if [ "${1:-}" = "--fix" ]; then fix=1; shift; fi
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

tool=${CLANG_FORMAT:-}
if [ -z "$tool" ]; then
    tool=$(command -v "clang-format-$major" || command -v clang-format || true)
fi
if [ -z "$tool" ] || ! command -v "$tool" >/dev/null 2>&1; then
    echo "check-format: clang-format $major is not installed (scripts/deps.sh installs it)" >&2
    exit 2
fi
version=$("$tool" --version)
found=$(echo "$version" | sed -n 's/.*clang-format version \([0-9][0-9]*\)\..*/\1/p')
if [ "$found" != "$major" ]; then
    echo "check-format: $tool is \"$version\"; the house style is clang-format $major's" \
        "(install clang-format-$major, or set CLANG_FORMAT to it)" >&2
    exit 2
fi

files=$(find app platform protocol serial skin ui widgets tools tests bench fuzz measure \
        -name '*.cpp' -o -name '*.h' | sort)
if [ "$fix" = 1 ]; then
    # shellcheck disable=SC2086  # the paths hold no spaces
    "$tool" -i $files
    exit 0
fi

# One run over every file; it reports each change as "path:line:col: error: ...".
# shellcheck disable=SC2086
if report=$("$tool" --dry-run -Werror $files 2>&1); then
    exit 0
fi
bad=$(echo "$report" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ -z "$bad" ]; then
    echo "$report" >&2
    exit 1
fi
for f in $bad; do
    echo "$f: not formatted (scripts/check-format.sh --fix)"
done
exit 1
