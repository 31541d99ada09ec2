#!/usr/bin/env bash
# package-test.sh [build-dir]: makes the Debian package from a build
# (`cpack -G DEB`), checks it with lintian and appstreamcli, installs it with
# apt as a user would, starts `velmora` from /usr/bin under a virtual X
# server with a window manager, checks that the splash and then the main
# window appear and that the user's copy of the demo database was made, and
# removes the package again. Needs root (apt); prints each step's output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
if [ "$(id -u)" -ne 0 ]; then
  echo "package-test.sh installs a package: run it as root" >&2
  exit 2
fi
start=$(date +%s)
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@"; }

work="$(mktemp -d)"
xvfb_pid=""; wm_pid=""; app_pid=""
cleanup() {
  for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q "ok installed"; then
    apt_get purge velmora >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== package =="
bash "$root/scripts/build.sh" "$build" >/dev/null
rm -f "$build"/package/velmora_*.deb
(cd "$build" && cpack -G DEB | tail -1)
deb="$(ls "$build"/package/velmora_*_*.deb)"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends

echo "== lintian =="
lintian --info "$deb" 2>&1 | grep -v "running with root privileges" || true
lintian "$deb" 2>&1 | grep -E "^E:" && { echo "lintian found errors" >&2; exit 1; }

echo "== appstreamcli validate =="
metainfo="$work/metainfo"
mkdir -p "$metainfo"
dpkg-deb -x "$deb" "$metainfo"
# Without a network the addresses are not fetched, only checked for form.
appstreamcli validate --no-net "$metainfo"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$metainfo"/usr/share/applications/velmora.desktop

echo "== apt install =="
if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q "ok installed"; then
  apt_get purge velmora >/dev/null
fi
apt_get install --no-install-recommends "$deb" >/dev/null
dpkg -L velmora | grep -E "^/usr/(bin/velmora|lib/velmora/Dorvak|share/velmora/dorvak.dat)$"
dpkg -L velmora | grep -E "^/usr/(bin/velmora-search|share/man/man1/velmora-search.1.gz)$"

echo "== start velmora =="
home="$work/home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# The test command runs the other tests on the offscreen platform; a user's
# start goes to the X server.
env -u XDG_DATA_HOME -u QT_QPA_PLATFORM HOME="$home" XDG_RUNTIME_DIR="$home/runtime" LANG=C.UTF-8 \
  /usr/bin/velmora >"$work/velmora.log" 2>&1 &
app_pid=$!
# The program's visible window with exactly this title (xdotool's own name
# search also matches other properties).
visible() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$app_pid" --name '.*' 2>/dev/null || true); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then echo "$id"; return; fi
  done
}
main=""
for _ in $(seq 300); do
  kill -0 "$app_pid" 2>/dev/null || { cat "$work/velmora.log"; echo "velmora ended" >&2; exit 1; }
  # The main window comes once the splash has gone.
  if [ -z "$(visible 'Kestrune-->Velmora')" ]; then main="$(visible 'Velmora')"; fi
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || {
  cat "$work/velmora.log"
  echo "no main window; the program's windows:" >&2
  for id in $(xdotool search --pid "$app_pid" --name '.*' 2>/dev/null || true); do
    echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)" >&2
  done
  exit 1
}
xdotool getwindowgeometry "$main" | sed 's/^/  /'
geometry="$(xdotool getwindowgeometry --shell "$main")"
grep -q '^WIDTH=800$' <<<"$geometry" && grep -q '^HEIGHT=600$' <<<"$geometry" ||
  { echo "the main window is not 800 x 600" >&2; exit 1; }
test -f "$home/.local/share/velmora/dorvak.dat" ||
  { echo "no user copy of the database" >&2; exit 1; }
echo "main window shown; database: ~/.local/share/velmora/dorvak.dat"
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""

echo "== velmora-search =="
# The terminal search opens the user's database as the program does.
HOME="$home" /usr/bin/velmora-search 有限公司 >"$work/search.tsv" 2>"$work/search.err" ||
  { cat "$work/search.err"; echo "velmora-search found nothing" >&2; exit 1; }
head -c 300 "$work/search.tsv"; echo; cat "$work/search.err"
status=0
HOME="$home" /usr/bin/velmora-search -- 没有这家企业 -zg >/dev/null 2>&1 || status=$?
test "$status" -eq 1 || { echo "velmora-search: $status for a search that finds nothing" >&2; exit 1; }
man -w velmora-search >/dev/null 2>&1 || test -f /usr/share/man/man1/velmora-search.1.gz

echo "== remove =="
apt_get purge velmora >/dev/null
test ! -e /usr/bin/velmora && test ! -e /usr/lib/velmora && test ! -e /usr/share/velmora ||
  { echo "files left after removal" >&2; exit 1; }
echo "removed"
echo "package test passed in $(( $(date +%s) - start )) s"
