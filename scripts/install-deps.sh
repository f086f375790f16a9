#!/usr/bin/env bash
# Installs everything Ordinex needs to build, test and benchmark on Debian 12.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libwxgtk3.2-dev libwxgtk-webview3.2-dev
  libcurl4-openssl-dev libgumbo-dev
  googletest libgtest-dev
  xvfb xauth fonts-noto-cjk imagemagick
  python3 python3-pyftpdlib
  curl nginx-light hyperfine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
