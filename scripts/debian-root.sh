#!/bin/sh
# SPDX-License-Identifier: MIT
# A Debian root in a folder, made with debootstrap from the package mirror apt
# uses here, and commands run inside it. Run as root.
#   debian-root.sh make RELEASE ROOT
#     makes ROOT a whole minimal Debian RELEASE (12 or 13), or keeps the one there
#     if it is whole: made to the end by this script, of that release, and with
#     nothing half-installed (dpkg --audit says nothing). Anything else there (a
#     run cut short, a package left half-configured) is removed and made afresh.
#   debian-root.sh enter ROOT [HOST_DIR:DIR]... -- COMMAND...
#     runs COMMAND as root inside ROOT, each HOST_DIR seen at DIR. The root
#     becomes the root of a mount namespace of its own (pivot_root), not a mere
#     chroot: the kernel grants new user namespaces, which the engine's sandbox
#     needs, only to a process that is not chrooted. Its mounts (/proc, /sys,
#     /dev, a fresh /tmp) end with the command.
set -eu

codename_of() {
  case "$1" in
    12) echo bookworm ;;
    13) echo trixie ;;
    *) echo "unknown Debian release '$1' (12 or 13)" >&2; exit 2 ;;
  esac
}

# The mirror apt is configured with here (deb822 .sources or a sources.list),
# the archive rather than its security updates.
mirror() {
  if [ -n "${KWIRL_DEBIAN_MIRROR:-}" ]; then
    echo "$KWIRL_DEBIAN_MIRROR"
    return
  fi
  {
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:[[:space:]]*//p' | tr ' ' '\n'
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p'
  } | grep -v -e '-security' -e '^$' | sed 's|/*$||' | head -n 1 | grep . || echo http://deb.debian.org/debian
}

# Every mount under the folder, innermost first, taken away (a run killed before
# it could unmount leaves them); then the folder. Never crosses into another
# file system: a bind mount that could not be taken away is not emptied.
remove_root() {
  grep -o " $1/[^ ]*" /proc/mounts | sort -r | while read -r mount; do umount -l "$mount" || true; done
  rm -rf --one-file-system "$1"
}

whole() {
  [ "$(cat "$1/etc/kwirl-root" 2>/dev/null)" = "$2" ] || return 1
  # The root's own package database, read by the dpkg here.
  audit=$(dpkg --admindir="$1/var/lib/dpkg" --audit 2>&1) || return 1
  [ -z "$audit" ] || { echo "$audit" | head -n 5; return 1; }
}

make_root() {
  release=$1
  root=$(readlink -f "$2")
  codename=$(codename_of "$release")
  if [ -d "$root" ]; then
    if whole "$root" "$codename"; then
      echo "Debian $release root in $root: kept"
      return
    fi
    echo "Debian $release root in $root: not whole (cut short, or a package half-installed): made afresh"
    remove_root "$root"
  fi
  source=$(mirror)
  echo "debootstrap: a minimal Debian $release ($codename) in $root from $source"
  mkdir -p "$(dirname "$root")"
  debootstrap --variant=minbase "$codename" "$root" "$source" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    exit 1
  }
  rm -f "$root.debootstrap.log"
  # The point releases' updates, as a Debian install has them.
  echo "deb $source $codename-updates main" >>"$root/etc/apt/sources.list"
  # A root to test in, made afresh when a run is cut short: dpkg need not sync
  # every file it writes, which makes installing many times faster on a busy disk.
  echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/kwirl-unsafe-io"
  # Only once everything above is done is the root whole.
  echo "$codename" >"$root/etc/kwirl-root"
}

enter_root() {
  root=$(readlink -f "$1")
  shift
  binds=""
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    binds="$binds $1"
    shift
  done
  [ "${1:-}" = -- ] && shift
  [ $# -gt 0 ] || { echo "usage: debian-root.sh enter ROOT [HOST_DIR:DIR]... -- COMMAND..." >&2; exit 2; }
  # Names are looked up as here; localhost must resolve inside.
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  [ -s "$root/etc/hosts" ] || printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n' >"$root/etc/hosts"
  KWIRL_ROOT=$root KWIRL_BINDS=$binds unshare --mount --propagation private -- sh -eu -c '
    mount --bind "$KWIRL_ROOT" "$KWIRL_ROOT"
    mount -t proc proc "$KWIRL_ROOT/proc"
    mount -t sysfs sysfs "$KWIRL_ROOT/sys"
    mount --rbind /dev "$KWIRL_ROOT/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$KWIRL_ROOT/tmp"
    for bind in $KWIRL_BINDS; do
      mkdir -p "$KWIRL_ROOT${bind#*:}"
      mount --bind "${bind%%:*}" "$KWIRL_ROOT${bind#*:}"
    done
    cd "$KWIRL_ROOT"
    mkdir -p .host
    pivot_root . .host
    cd /
    umount -l /.host
    exec env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
      LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" "$@"' kwirl-root "$@"
}

case "${1:-}" in
  make) make_root "${2:?release}" "${3:?root folder}" ;;
  enter) shift; enter_root "$@" ;;
  *) echo "usage: debian-root.sh make RELEASE ROOT | enter ROOT [HOST_DIR:DIR]... -- COMMAND..." >&2; exit 2 ;;
esac
