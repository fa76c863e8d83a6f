#!/usr/bin/env bash
# Installs what Velmaro needs to build, run and test on Debian 12, and makes
# sure the German locale the tests pin exists. Does nothing when all is there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev googletest
  xvfb openbox dbus at-spi2-core python3 python3-gi gir1.2-glib-2.0 python3-fusepy
  x11-utils xdotool imagemagick
  gdu libglib2.0-bin xdg-utils shared-mime-info desktop-file-utils
  fonts-dejavu-core fonts-dejavu-extra e2fsprogs util-linux time locales
  dpkg-dev file lintian appstream bash-completion
)
LOCALE_NAME="de_DE.UTF-8"

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "install-deps: need root (or sudo) to run: $*" >&2
    return 1
  fi
}

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then
    missing+=("$pkg")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "install-deps: all packages present"
fi

# The tests format numbers and dates in German.
have_locale() {
  locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'
}
if ! have_locale; then
  echo "install-deps: generating $LOCALE_NAME"
  if [ -f /etc/locale.gen ]; then
    as_root sed -i -E 's/^#[[:space:]]*(de_DE\.UTF-8 UTF-8)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen \
      || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen
  else
    as_root localedef -i de_DE -f UTF-8 "$LOCALE_NAME"
  fi
  have_locale || { echo "install-deps: $LOCALE_NAME still missing" >&2; exit 1; }
fi
