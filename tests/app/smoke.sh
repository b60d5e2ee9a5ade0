#!/usr/bin/env bash
# Runs the program through scripts/run.sh on the X display it is given, opens the simulated port
# in the port dialog, leaves with "Exit", and checks that the program and the simulator ended
# cleanly. Usage: smoke.sh BUILD_DIR
set -euo pipefail
bin=$1
repo=$(cd "$(dirname "$0")/../.." && pwd)
export XDG_CONFIG_HOME XDG_CACHE_HOME
XDG_CONFIG_HOME=$(mktemp -d)
XDG_CACHE_HOME=$XDG_CONFIG_HOME/cache
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
log=$XDG_CONFIG_HOME/run.log
ports=$XDG_CONFIG_HOME/orvane/ports

fail() {
  echo "smoke: $*" >&2
  cat "$log" >&2 || true
  exit 1
}

# COM1 shadows the machine's first serial port, so that it comes first in the port list.
"$repo/scripts/run.sh" "$bin" --port 1 >"$log" 2>&1 &
run=$!

window() {
  local id
  for _ in $(seq 400); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -1 || true)
    [[ -n $id ]] && { echo "$id"; return 0; }
    kill -0 "$run" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# Clicks at a point of a window given in the coordinates of its frame (3-pixel band around it).
click() { xdotool mousemove --window "$1" $((3 + $2)) $((3 + $3)) click 1; }

main=$(window '^Orvane V1\.00\.05 2012-11-7 Support Com10$') || fail "the main window did not appear"
pid=$(xdotool getwindowpid "$main")
click "$main" 56 41                     # "Com Setting" (top bar at 20, button at 16, 8, 80 x 27)
dialog=$(window '^Com Setting$') || fail "the port dialog did not appear"
click "$dialog" 56 212                  # "Open" (24, 200, 65 x 25)

pty=$(readlink "$ports/com1")
opened=""
for _ in $(seq 200); do
  if ls -l "/proc/$pid/fd" 2>/dev/null | grep -q -- "-> $pty\$"; then opened=yes; break; fi
  sleep 0.05
done
[[ -n $opened ]] || fail "the program did not open $pty"

click "$main" 352 41                    # "Exit" (312, 8, 80 x 27)
status=0
for _ in $(seq 400); do kill -0 "$run" 2>/dev/null || break; sleep 0.05; done
kill -0 "$run" 2>/dev/null && fail "the program did not end after Exit"
wait "$run" || status=$?
((status == 0)) || fail "exit code $status"
# The simulator removes its link when it stops; a leaked or killed one would leave it behind.
[[ ! -L $ports/com1 ]] || fail "the simulator is still running"
for p in /proc/[0-9]*; do
  if tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "XDG_CONFIG_HOME=$XDG_CONFIG_HOME"; then
    fail "process ${p#/proc/} outlived the program: $(tr '\0' ' ' <"$p/cmdline")"
  fi
done
echo "smoke: ok"
