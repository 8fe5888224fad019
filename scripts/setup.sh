#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs every Debian package that building, running and testing the client
# needs, on Debian 12 (bookworm) or Debian 13 (trixie). Safe to run again; run
# as root (or with sudo available).
#   --bench  also what the benchmarks need (chromium, python3-xlib, perf)
set -eu

# The release, by its number or, where that is missing, its code name.
release=$(. /etc/os-release && echo "${VERSION_ID:-${VERSION_CODENAME:-}}")
case "$release" in
  12 | bookworm) release=12 llvm=14 ;;
  13 | trixie) release=13 llvm=19 ;;
  *)
    echo "setup.sh knows Debian 12 and 13; this is: $(. /etc/os-release && echo "${PRETTY_NAME:-unknown}")" >&2
    exit 1
    ;;
esac

# The same on both releases.
packages="
  build-essential cmake pkg-config
  libwxgtk3.2-dev libwebkit2gtk-4.1-dev libgtk-3-dev libglib2.0-dev libsqlite3-dev libgnutls28-dev ca-certificates
  googletest libgtest-dev
  python3 nginx-light curl openssl
  xvfb xauth openbox xdotool x11-utils imagemagick
  dbus dbus-daemon at-spi2-core python3-pyatspi python3-gi gir1.2-webkit2-4.1
  desktop-file-utils appstream dpkg-dev debootstrap lintian gettext po4a locales
  valgrind strace bubblewrap
"
# clang (the release's own) for the sanitizers and fuzzing, with its run-time
# libraries, and the clang-format of the same version for scripts/check-sources.sh.
packages="$packages clang libclang-rt-$llvm-dev clang-format-$llvm"

# The benchmarks also run the engine's libsoup 2 build, where the release has it.
[ "$release" = 12 ] && [ "${1:-}" = "--bench" ] && packages="$packages gir1.2-webkit2-4.0"

[ "${1:-}" = "--bench" ] && packages="$packages chromium python3-xlib linux-perf"

missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
if [ -n "$missing" ]; then
  echo "Installing on Debian $release:$missing"
  $as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
fi

# The journeys run the client in German: a fresh Debian has no German locale
# (only C.UTF-8), and without it the C library keeps the client in English.
# Listed in locale.gen, so that the locales package keeps it when it rebuilds.
if ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
  echo "Generating the locale de_DE.UTF-8"
  $as_root sh -c "grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen; locale-gen"
fi
