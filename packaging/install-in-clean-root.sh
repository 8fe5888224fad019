#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the client's Debian package with apt-get into a clean root of the
# Debian release it was built for (12 or 13), made with debootstrap, and starts
# the installed client there on a virtual display until its window is mapped.
# Run as root from a build folder that has the package (packaging/check-package.sh
# builds it). A root kept from an earlier run is used again only if it is whole
# (scripts/debian-root.sh), and with the previous package and what it pulled in
# taken away first.
#   usage: install-in-clean-root.sh RELEASE PACKAGE.deb [ROOT_DIR]
set -eu
release=${1:?usage: install-in-clean-root.sh RELEASE PACKAGE.deb [ROOT_DIR]}
package=$(readlink -f "${2:?usage: install-in-clean-root.sh RELEASE PACKAGE.deb [ROOT_DIR]}")
root=${3:-/tmp/kwirl-clean-root-$release}
root_tool=$(dirname "$(readlink -f "$0")")/../scripts/debian-root.sh

sh "$root_tool" make "$release" "$root"
cp "$package" "$root/var/tmp/kwirl.deb"
# /tmp is shared, where the virtual display's lock file tells its number taken.
in_root() { sh "$root_tool" enter "$root" /tmp:/tmp -- env DEBIAN_FRONTEND=noninteractive "$@"; }
in_root apt-get update -qq
# A root kept from an earlier run may hold a package of the same version, which
# apt-get would not replace, and the libraries it pulled in, which could hide
# one this package fails to name.
in_root sh -c 'dpkg --purge kwirl >/dev/null 2>&1; apt-get autoremove --purge -y -qq >/dev/null'
echo "apt-get install ./kwirl.deb (and a virtual display to start it on)"
in_root apt-get install -y -qq /var/tmp/kwirl.deb xvfb xauth xdotool >/dev/null
in_root dpkg -s kwirl | sed -n 's/^Version: /installed kwirl /p'
test -f "$root/usr/share/applications/io.kwirl.GameClient.desktop"
# Debian keeps games in /usr/games.
test -x "$root/usr/games/kwirl" || { echo "the client is not /usr/games/kwirl" >&2; exit 1; }

# Started the way the menu starts it: the command of its menu entry, its field
# codes (%u: a link it is given) dropped as a launcher drops them when it passes none.
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/io.kwirl.GameClient.desktop" | sed 's/ *%[uUfF]//g')
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
