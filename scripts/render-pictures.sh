#!/usr/bin/env bash
# Regenerates the committed pictures from their SVG sources:
#   resources/pictures/src/<name>.svg -> resources/pictures/<name>.jpg  (the large pictures)
#   resources/pictures/src/bar-*.svg  -> resources/pictures/bar-*.png   (the side bar's 32 x 32 images)
#   resources/icons/velmora.svg       -> resources/icons/velmora-<size>.png
#     (16 pixels from velmora-small.svg, the same icon drawn for that size)
# Each SVG states its own pixel size. The build only reads the generated files; this
# script is run by hand after a source changed, and the results are committed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# The render tools and the fonts the pictures are set in; installed once, Debian only.
packages=(librsvg2-bin libjpeg-turbo-progs netpbm fonts-wqy-microhei fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

src="$root/resources/pictures/src"
out="$root/resources/pictures"
icons="$root/resources/icons"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A high quality keeps the fine lines and small Chinese text clean; the pictures are
# small, so the files stay small too. No chroma subsampling for the same reason.
jpeg() { # <svg> <jpg>
  rsvg-convert --format=png --background-color=white "$1" -o "$work/p.png"
  pngtopnm -quiet "$work/p.png" >"$work/p.ppm"
  cjpeg -quality 93 -sample 1x1 -optimize -outfile "$2" "$work/p.ppm"
}

count=0
for svg in "$src"/*.svg; do
  name="$(basename "$svg" .svg)"
  case "$name" in
    bar-*) rsvg-convert --format=png "$svg" -o "$out/$name.png" ;;
    *) jpeg "$svg" "$out/$name.jpg" ;;
  esac
  count=$((count + 1))
done

rsvg-convert --format=png -w 16 -h 16 "$icons/velmora-small.svg" -o "$icons/velmora-16.png"
for size in 32 48 64 128 256; do
  rsvg-convert --format=png -w "$size" -h "$size" "$icons/velmora.svg" -o "$icons/velmora-$size.png"
done

echo "Rendered $count pictures and 6 icon sizes."
