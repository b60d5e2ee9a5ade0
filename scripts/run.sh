#!/usr/bin/env bash
# Starts the module simulator in the foreground; it prints the COM port it offers.
set -euo pipefail
build=${1:-build}
exec "$build/orvane-modsim" "${@:2}"
