#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once normally and
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then, as root,
# the Debian package's test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

bash scripts/build.sh build
bash scripts/build.sh build-asan -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF

status=0
echo "== tests =="
ctest --test-dir build --output-on-failure -j 2 || status=1
echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
ctest --test-dir build-asan --output-on-failure -j 2 || status=1
# The Debian package, built, checked, installed, started and removed (under
# a minute); installing it needs root.
if [ "$(id -u)" -eq 0 ]; then
  echo "== Debian package =="
  bash scripts/package-test.sh build || status=1
else
  echo "== Debian package: skipped, installing it needs root =="
fi
exit $status
