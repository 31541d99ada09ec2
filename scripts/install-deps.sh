#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Idempotent: does nothing when all packages are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang-format
  qt6-base-dev qt6-qpa-plugins
  libsqlcipher-dev sqlcipher libzstd-dev
  libcurl4-openssl-dev libssl-dev openssl libjpeg62-turbo-dev
  fonts-noto-cjk fonts-arphic-uming fonts-wqy-microhei fonts-liberation2
  libgtest-dev libgmock-dev googletest libcpp-httplib-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils x11-apps openbox nginx
  qt6-wayland sway grim
  at-spi2-core dbus-daemon python3-pyatspi
  libphonenumber-dev libicu-dev qt6-translations-l10n xdg-utils desktop-file-utils
  unicode-data bzip2
  dpkg-dev lintian appstream imagemagick
  libxlsxwriter-dev python3-openpyxl
  fp-compiler fp-units-rtl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
