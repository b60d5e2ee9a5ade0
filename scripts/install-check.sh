#!/usr/bin/env bash
# Installs into a temporary DESTDIR and builds the .deb, then checks both as a desktop, a package
# manager and a user would see them: the files, the menu entry and metainfo validators, the manual
# pages, lintian, the programs' versions, and orvane-cli reading the module that orvane-modsim plays,
# with the build tree moved out of the way.
# Usage: scripts/install-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
version=$(sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
app_id=io.github.orvane.Orvane
work=$(mktemp -d)
simulator=""
moved=""

cleanup() {
  [[ -n $simulator ]] && { kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true; }
  [[ -n $moved ]] && mv "$moved" "$build"
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "install-check: $*" >&2
  exit 1
}

# The files every installation holds, relative to its prefix.
expected_files() {
  local p
  for p in orvane orvane-cli orvane-modsim; do
    echo "bin/$p"
    echo "share/man/man1/$p.1.gz"
  done
  echo "share/bash-completion/completions/orvane-cli"
  echo "share/bash-completion/completions/orvane-modsim"
  echo "share/applications/$app_id.desktop"
  echo "share/metainfo/$app_id.metainfo.xml"
  for s in 16 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${s}x${s}/apps/$app_id.png"
  done
  echo "share/doc/orvane/copyright"
}

check_tree() {
  local prefix=$1 f
  while read -r f; do
    [[ -e $prefix/$f ]] || fail "missing $prefix/$f"
  done < <(expected_files)
  # Its one hint, about the entry being in more than one main category, is meant.
  desktop-file-validate "$prefix/share/applications/$app_id.desktop" ||
    fail "desktop-file-validate rejects the menu entry"
  appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
  # Style remarks are allowed; anything from a warning up is not.
  local page
  for page in "$prefix"/share/man/man1/*.1.gz; do
    zcat "$page" | mandoc -T lint -W warning || fail "mandoc finds faults in $page"
  done
}

# The programs of one installation, on their own: versions, then a read of a simulated module.
check_programs() {
  local bin=$1 port=$2 out rc
  out=$(QT_QPA_PLATFORM=offscreen "$bin/orvane" --version) || fail "$bin/orvane --version failed"
  [[ $out == "orvane $version" ]] || fail "$bin/orvane --version printed '$out', not the version $version"
  rc=0
  out=$("$bin/orvane-cli" --version 2>&1) || rc=$?
  if ((rc == 0)); then
    [[ $out == *"$version"* ]] || fail "$bin/orvane-cli --version printed '$out', not the version $version"
  elif [[ $out == *"unknown option '--version'"* ]]; then
    echo "install-check: orvane-cli has no --version yet; not checked"
  else
    fail "$bin/orvane-cli --version failed: $out"
  fi

  export XDG_CONFIG_HOME=$work/config-$port
  "$bin/orvane-modsim" --port "$port" --channel 12 --id 1234 >"$work/modsim.log" 2>&1 &
  simulator=$!
  for _ in $(seq 400); do
    [[ -L $XDG_CONFIG_HOME/orvane/ports/com$port ]] && break
    kill -0 "$simulator" 2>/dev/null || fail "orvane-modsim ended: $(cat "$work/modsim.log")"
    sleep 0.05
  done
  out=$("$bin/orvane-cli" --port "COM$port" --timeout 5000 info) || fail "orvane-cli info failed: $out"
  [[ $out == *"channel 12 "* && $out == *"id 1234"* ]] || fail "orvane-cli read the wrong module: $out"
  kill "$simulator"
  wait "$simulator" 2>/dev/null || true
  simulator=""
  unset XDG_CONFIG_HOME
}

make --no-print-directory install BUILD="$build" PREFIX=/usr/local DESTDIR="$work/root"
check_tree "$work/root/usr/local"
for program in orvane orvane-cli orvane-modsim; do
  file -b "$work/root/usr/local/bin/$program" | grep -q ', stripped' || fail "make install left $program unstripped"
done

rm -f "$build"/orvane_*.deb
make --no-print-directory package BUILD="$build" >"$work/cpack.log" || { cat "$work/cpack.log"; fail "make package failed"; }
deb=$(ls "$build"/orvane_"$version"_*.deb) || fail "make package wrote no .deb"
listing=$(dpkg-deb -c "$deb")
while read -r f; do
  grep -q " \./usr/$f\$" <<<"$listing" || fail "the package lacks /usr/$f"
done < <(expected_files)
lintian --fail-on error "$deb" || fail "lintian reports errors"
dpkg-deb -x "$deb" "$work/deb"
check_tree "$work/deb/usr"

moved="$build.away.$$"
mv "$build" "$moved"
check_programs "$work/root/usr/local/bin" 61
check_programs "$work/deb/usr/bin" 62
echo "install-check: ok ($(basename "$deb"))"
