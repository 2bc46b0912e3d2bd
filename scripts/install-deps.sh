#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12, quietly; does nothing when all is there.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth x11-utils
          imagemagick zip unzip libbenchmark-dev zlib1g-dev
          mosquitto mosquitto-clients openssl python3 locales)
# Number texts must not follow the locale: their tests switch to one whose decimal mark is a comma.
comma_locale="de_DE.UTF-8 UTF-8"
has_comma_locale() { locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && has_comma_locale && exit 0

if [ "$(id -u)" != 0 ]; then
  if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: no ${comma_locale%% *} locale (run as root to make it); the comma-locale tests will skip" >&2
    exit 0
  fi
  echo "install-deps: missing packages (${missing[*]}); run as root" >&2
  exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! has_comma_locale; then
  echo "install-deps: generating the ${comma_locale%% *} locale"
  # Enabled in locale.gen rather than made alone, so that a later locale-gen keeps it.
  sed -i "s/^# *$comma_locale\$/$comma_locale/" /etc/locale.gen
  grep -qx "$comma_locale" /etc/locale.gen || echo "$comma_locale" >> /etc/locale.gen
  locale-gen >/dev/null
fi
