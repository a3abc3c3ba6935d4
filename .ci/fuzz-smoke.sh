#!/usr/bin/env bash
# A bounded fuzz run for CI: installs what the fuzz build needs when it is
# missing, builds both fuzz targets (preset "fuzz") and runs each for
# VANTOR_FUZZ_SECONDS seconds (default 75).  Exits non-zero on a finding; the
# input is then in build/fuzz/findings.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=${VANTOR_FUZZ_SECONDS:-75}

missing=()
command -v clang++ >/dev/null || missing+=(clang)
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || missing+=(libclang-rt-14-dev)
command -v cmake >/dev/null || missing+=(cmake)
command -v ninja >/dev/null || missing+=(ninja-build)
[[ -f /usr/include/zlib.h ]] || missing+=(zlib1g-dev)
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "fuzz-smoke: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

exec "$repo/tools/fuzz.sh" --time "$seconds"
