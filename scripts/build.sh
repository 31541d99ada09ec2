#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds with Ninja.
#
# A build from nothing is a unity build (sources compiled sixteen to a file,
# so the Qt and test headers are read once per batch, not once per source:
# about half the time on two cores). VELMORA_UNITY_BUILD=OFF configures a
# build of single sources instead, which rebuilds faster after a small change.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
case "$dir" in /*) ;; *) dir="$root/$dir" ;; esac
# Compiler-cache hits across clones of the repository: paths below the root
# are hashed as relative ones.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_UNITY_BUILD="${VELMORA_UNITY_BUILD:-ON}" -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 "$@"
fi
cmake --build "$dir" -j "$(nproc)"
