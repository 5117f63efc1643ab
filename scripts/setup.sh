#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian machine.
# Costs a second or two when everything is already present.
set -euo pipefail

packages=(
  cmake make g++ ninja-build
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth x11-apps imagemagick
  locales fonts-ipafont-gothic
  googletest libgtest-dev libbenchmark-dev
  file python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi


# Japanese locale: under it Wine's ANSI code page is 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi

[ -x /usr/lib/wine/wine64 ] || { echo "setup: /usr/lib/wine/wine64 missing" >&2; exit 1; }
