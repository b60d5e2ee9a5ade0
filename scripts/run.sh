#!/usr/bin/env bash
# Starts the module simulator in the background on a free COM number (or the one given with
# --port), then the program; stops the simulator when the program's window closes.
# Usage: scripts/run.sh [BUILD_DIR] [orvane-modsim options...]
set -euo pipefail
build=${1:-build}
shift || true

ports="${XDG_CONFIG_HOME:-$HOME/.config}/orvane/ports"

# The device a port number names when the ports directory does not link it.
builtin_device() {
  local n=$1
  if ((n <= 32)); then echo "/dev/ttyS$((n - 1))"
  elif ((n <= 48)); then echo "/dev/ttyUSB$((n - 33))"
  else echo "/dev/ttyACM$((n - 49))"
  fi
}

# The lowest port number that names neither a link nor an existing device.
free_port() {
  local n
  for n in $(seq 1 63); do
    [[ -e $ports/com$n || -L $ports/com$n ]] && continue
    [[ -e $(builtin_device "$n") ]] && continue
    echo "$n"
    return 0
  done
  return 1
}

port=""
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  [[ ${args[i]} == --port ]] && port=${args[i + 1]:-}
done
if [[ -z $port ]]; then
  port=$(free_port) || { echo "run.sh: every COM number from 1 to 63 is taken" >&2; exit 1; }
  args+=(--port "$port")
fi

"$build/orvane-modsim" "${args[@]}" &
simulator=$!
stop_simulator() {
  kill "$simulator" 2>/dev/null || true
  wait "$simulator" 2>/dev/null || true
}
trap stop_simulator EXIT

# The program lists the ports it finds at start-up: wait until the simulator has linked its port.
for _ in $(seq 200); do
  [[ -L $ports/com$port ]] && break
  kill -0 "$simulator" 2>/dev/null || exit 1
  sleep 0.05
done
[[ -L $ports/com$port ]] || { echo "run.sh: the simulator did not link COM$port" >&2; exit 1; }

# Without a display (a fresh server, a CI machine) the window goes to a virtual one.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "run.sh: no display; showing the window on a virtual X display (Ctrl+C ends it)" >&2
  "$(dirname "$0")/deps.sh" display
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/orvane"
else
  "$build/orvane"
fi
