#!/usr/bin/env bash
# Installs the Debian packages that one set of work needs, when they are missing.
# Usage: scripts/deps.sh [--print] [build|test|dev|display]
#   build    compiling, running, installing and packaging the programs (the default)
#   test     build, plus what the tests and benchmarks need
#   dev      test, plus the sanitizer, fuzzing, format and packaging checks CI runs
#   display  a virtual X display, for starting the window on a machine without one
# --print lists the set's packages, one a line, and installs nothing.
set -euo pipefail

print=0
if [[ ${1:-} == --print ]]; then
  print=1
  shift
fi
set_name=${1:-build}

build=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev qt6-base-dev-tools
  libjpeg-dev libudev-dev
  fonts-liberation fonts-dejavu-core fonts-wqy-zenhei
  gzip dpkg-dev file
)
display=(xvfb xauth)
test=(
  "${build[@]}" "${display[@]}"
  libgtest-dev umockdev libumockdev-dev ser2net
  x11-utils xdotool libxcb1-dev
  python3 python3-jsonschema
  clang-format  # its major version is checked by scripts/check-format.sh
)
dev=(
  "${test[@]}"
  clang libclang-rt-dev
  desktop-file-utils appstream mandoc lintian bash-completion
)

case $set_name in
  build) packages=("${build[@]}") ;;
  test) packages=("${test[@]}") ;;
  dev) packages=("${dev[@]}") ;;
  display) packages=("${display[@]}") ;;
  *)
    echo "deps.sh: unknown set '$set_name' (build, test, dev or display)" >&2
    exit 2
    ;;
esac

if ((print)); then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
