#!/bin/sh
# SPDX-License-Identifier: MIT
# The README's set-up, build and main suite in a clean Debian of another release
# (run as root): a minimal root made with debootstrap, where scripts/setup.sh
# installs what the client needs, scripts/build.sh builds it and ctest runs the
# whole suite as on a desktop: windows, the engine in its sandbox and the
# journeys on virtual displays, the package checked with that release's lintian
# and installed into a clean root of that release. (The sanitizers and fuzzing
# run on the native machine only.) Says how long each step took.
#   usage: test-in-debian.sh RELEASE [--prepare] [CMAKE_OPTION...]
# With --prepare it only makes the root and sets it up, and ends there: what
# comes over the network can come while this machine does something else.
# The root is kept for the next run in /var/tmp/kwirl-debian-RELEASE (or
# $KWIRL_DEBIAN_ROOTS/kwirl-debian-RELEASE), its build folder in it; a root that
# a run left half-made or half-installed is made afresh.
set -eu
release=${1:?usage: test-in-debian.sh RELEASE [--prepare] [CMAKE_OPTION...]}
shift
prepare=false
if [ "${1:-}" = --prepare ]; then
  prepare=true
  shift
fi
source=$(cd "$(dirname "$0")/.." && pwd)
folder=${KWIRL_DEBIAN_ROOTS:-/var/tmp}/kwirl-debian-$release
root=$folder/root
mkdir -p "$folder"
# One run at a time in a root.
exec 9>"$folder/lock"
flock 9

steps=""
started=$(date +%s)
step() {
  now=$(date +%s)
  steps="$steps $1 $((now - started)) s;"
  started=$now
}
report() {
  status=$?
  [ -z "$steps" ] || echo "Debian $release, wall time:$steps"
  exit $status
}
trap report EXIT

root_tool=$source/scripts/debian-root.sh
sh "$root_tool" make "$release" "$root"
step debootstrap

# The source is seen at /src. /tmp is the host's: the X servers' lock files are
# there, and their sockets are shared with the host's network, so a display
# number chosen inside must be free outside too.
in_root() { sh "$root_tool" enter "$root" "$source:/src" /tmp:/tmp -- "$@"; }

# A kept root is brought up to date first, as a Debian machine would be.
# What apt says goes to a log, shown if it fails.
echo "set-up inside: scripts/setup.sh (log: $folder/setup.log)"
in_root sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get dist-upgrade -y -qq &&
  sh /src/scripts/setup.sh' >"$folder/setup.log" 2>&1 || {
  tail -n 30 "$folder/setup.log" >&2
  exit 1
}
step setup
$prepare && exit 0

in_root sh /src/scripts/build.sh /var/tmp/kwirl-build "$@"
step build

# The engine's sandbox starts inside as it does here: where it cannot, the
# client runs pages without it and the suite's test of it is skipped.
sandbox="bwrap --unshare-all --die-with-parent --ro-bind / / true"
if $sandbox >/dev/null 2>&1 && ! in_root $sandbox; then
  echo "the engine's sandbox (bubblewrap) starts here but not inside the Debian $release root" >&2
  exit 1
fi
status=0
in_root sh -c 'cd /var/tmp/kwirl-build && ctest --output-on-failure' || status=$?
step tests
exit $status
