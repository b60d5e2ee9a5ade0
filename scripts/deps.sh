#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, when they are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev qt6-base-dev-tools libqt6test6
  libjpeg62-turbo-dev
  libgtest-dev libbenchmark-dev
  libudev-dev umockdev libumockdev-dev
  clang libclang-rt-14-dev
  fonts-liberation fonts-dejavu-core fonts-wqy-zenhei
  xvfb xauth x11-utils xdotool
  gzip bash-completion desktop-file-utils appstream mandoc lintian dpkg-dev file
  libxcb1-dev
  python3 python3-jsonschema
  clang-format
)

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
