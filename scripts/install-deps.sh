#!/usr/bin/env bash
# Installs everything Ordinex needs to build, test and benchmark on Debian 12.
# Safe to run again: apt-get skips what is already there.
# With --fuzz it also installs clang and libFuzzer for bench/fuzz.sh; the
# ordinary build and CI stay on g++ and do not need them.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libwxgtk3.2-dev libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev
  libcurl4-openssl-dev libgumbo-dev
  googletest libgtest-dev
  xvfb xauth fonts-noto-cjk imagemagick
  openbox x11-utils xdotool
  locales wx3.2-i18n
  python3 python3-pyftpdlib
  ca-certificates openssl
  curl nginx-light hyperfine aria2
  clang-format
  librsvg2-bin
  desktop-file-utils appstream shared-mime-info groff-base
  dpkg-dev file
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
else
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The window tests run once under a Japanese desktop language, which needs
# the locale itself, not only its translations.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
