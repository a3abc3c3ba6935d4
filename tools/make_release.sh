#!/usr/bin/env bash
# Makes the Windows release, vantor-<version>-win64.zip, from a clean build:
# vantor.exe, vantor-report.exe, お読みください.txt, LICENSE.txt, SHA256SUMS.txt.
#
#   tools/make_release.sh [OUTPUT_DIR]      (default: out/)
#
# On Debian 12 it first installs what it needs (as root) when something is
# missing.  The Windows build goes to build/release-win (VANTOR_RELEASE_BUILD
# names another); it is configured afresh and rebuilt from scratch each time.
# Building twice from the same commit gives the same archive.
set -euo pipefail
cd "$(dirname "$0")/.."

output_dir=$(mkdir -p "${1:-out}" && cd "${1:-out}" && pwd)
build_dir=${VANTOR_RELEASE_BUILD:-build/release-win}

packages="cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev zip unzip"
if command -v dpkg >/dev/null && ! dpkg -s $packages >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "make_release.sh: missing packages; as root: apt-get install $packages" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $packages
fi

# The same sources give the same archive, byte for byte: the linker stamps the
# exes and zip stamps the files with this time, the last commit's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi

cmake --fresh -S . -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=toolchains/x86_64-w64-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=Release \
  -DVANTOR_TESTS=OFF \
  -DVANTOR_RELEASE_DIR="$output_dir"
cmake --build "$build_dir" --clean-first --target release_zip -j"$(nproc)"
