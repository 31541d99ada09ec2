#!/usr/bin/env bash
# Installs what is missing, builds (which puts the version file softup.dll
# beside the program unless one is there), writes a demo dorvak.dat beside
# the program and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build
bin="$root/build/app"
if [ ! -f "$bin/dorvak.dat" ]; then
  "$root/build/tools/make_demo_db" --out "$bin/dorvak.dat" --companies 5000
fi
exec "$bin/Dorvak"
