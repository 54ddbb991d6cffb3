#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need, if any are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make git libcli11-dev             # native build; kelbo's command line
  libgtest-dev libgmock-dev libbenchmark-dev valgrind      # tests and benchmarks
  clang libclang-rt-14-dev                                 # the data-file fuzzer
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64          # the Windows program
  wine wine64                                              # running it
  zip unzip                                                # the Windows download
  xvfb xdotool imagemagick x11-utils x11-apps faketime icoutils util-linux  # end-to-end tests
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
