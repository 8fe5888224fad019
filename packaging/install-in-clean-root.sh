#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the client's Debian package with apt-get into a clean Debian 12 root
# made with debootstrap, and starts the installed client there on a virtual
# display until its window is mapped. Run as root from a build folder that has
# the package (packaging/check-package.sh builds it).
#   usage: install-in-clean-root.sh PACKAGE.deb [ROOT_DIR]
set -eu
package=$(readlink -f "${1:?usage: install-in-clean-root.sh PACKAGE.deb [ROOT_DIR]}")
root=${2:-/tmp/kwirl-clean-root}
mirror=${KWIRL_DEBIAN_MIRROR:-http://deb.debian.org/debian}

cleanup() {
  for mount in dev/pts dev proc sys; do umount -l "$root/$mount" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ ! -x "$root/usr/bin/apt-get" ]; then
  echo "debootstrap: a minimal Debian 12 in $root"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
fi
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
cp "$package" "$root/tmp/kwirl.deb"

in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
# A root kept from an earlier run may hold a package of the same version, which
# apt-get would not replace.
in_root dpkg --purge kwirl >/dev/null 2>&1 || true
echo "apt-get install ./kwirl.deb (and a virtual display to start it on)"
in_root apt-get install -y -qq ./tmp/kwirl.deb xvfb xauth xdotool >/dev/null
in_root dpkg -s kwirl | sed -n 's/^Version: /installed kwirl /p'
test -f "$root/usr/share/applications/io.kwirl.GameClient.desktop"
# Debian keeps games in /usr/games.
test -x "$root/usr/games/kwirl" || { echo "the client is not /usr/games/kwirl" >&2; exit 1; }

# Started the way the menu starts it: the command of its menu entry.
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/io.kwirl.GameClient.desktop")
echo "starting the installed client from its menu entry: $command"
in_root env KWIRL_COMMAND="$command" xvfb-run -a sh -c '
  $KWIRL_COMMAND & client=$!
  if timeout 60 xdotool search --sync --onlyvisible --name "Kwirl Mozalo Laboratory" >/dev/null; then
    echo "the window is mapped"; status=0
  else
    echo "no window within 60 s" >&2; status=1
  fi
  kill $client 2>/dev/null
  exit $status'
