#!/bin/sh
# SPDX-License-Identifier: MIT
# A Debian root kept between runs (scripts/debian-root.sh make) is used again
# only while it is whole; one that a run cut short or left half-installed is
# made afresh, and making it afresh never reaches through a mount that a killed
# run left inside it. debootstrap is stood in for by a script that lays out a
# root's package database and counts its calls. Needs root (mounts).
#   usage: debian-root-kept-only-whole.sh SOURCE_DIR
set -eu
[ "$(id -u)" -eq 0 ] || { echo "needs root: skipped"; exit 77; }
tool=$1/scripts/debian-root.sh
work=$(mktemp -d)
trap 'umount "$work/root/dev/host" 2>/dev/null || true; rm -rf --one-file-system "$work"' EXIT

mkdir "$work/bin"
cat >"$work/bin/debootstrap" <<'STANDIN'
#!/bin/sh
# debootstrap --variant=minbase CODENAME ROOT MIRROR
root=$3
mkdir -p "$root/var/lib/dpkg/info" "$root/etc/apt" "$root/etc/dpkg/dpkg.cfg.d"
printf 'Package: base-files\nStatus: install ok installed\nVersion: 13.8\nArchitecture: amd64\nMaintainer: m <m@example.org>\nDescription: d\n\n' >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/info/base-files.list"
: >"$root/var/lib/dpkg/info/base-files.md5sums"
echo "deb $4 $2 main" >"$root/etc/apt/sources.list"
echo "$2" >>"$(dirname "$root")/debootstrap-calls"
STANDIN
chmod +x "$work/bin/debootstrap"
export PATH="$work/bin:$PATH" KWIRL_DEBIAN_MIRROR=http://mirror.invalid/debian
root=$work/root
made() { wc -l <"$work/debootstrap-calls" | tr -d ' '; }

failed=0
# case | what a run before left | release asked | roots made by then
check() {
  what=$1 release=$2 expected=$3
  sh "$tool" make "$release" "$root" >"$work/output" 2>&1 || { echo "$what: make failed:"; cat "$work/output"; failed=1; return; }
  if [ "$(made)" != "$expected" ]; then
    echo "$what: $(made) roots made, expected $expected:"
    cat "$work/output"
    failed=1
  fi
}
check "no root yet" 13 1
check "a whole root" 13 1
sed -i 's/install ok installed/install ok half-configured/' "$root/var/lib/dpkg/status"
check "a package half-configured" 13 2
grep -q 'install ok installed' "$root/var/lib/dpkg/status" || { echo "the root made afresh is not whole"; failed=1; }
rm "$root/etc/kwirl-root"
check "debootstrap cut short" 13 3
check "a root of another release" 12 4
grep -q bookworm "$root/etc/apt/sources.list" || { echo "not made for Debian 12"; failed=1; }

# A mount a killed run left in a root that is then made afresh: what it shows stays.
mkdir -p "$work/host" "$root/dev/host"
echo kept >"$work/host/file"
mount --bind "$work/host" "$root/dev/host"
sed -i 's/install ok installed/install ok half-installed/' "$root/var/lib/dpkg/status"
check "a half-installed root with a mount left in it" 12 5
[ "$(cat "$work/host/file" 2>/dev/null)" = kept ] || { echo "removing the root reached through a mount in it"; failed=1; }
grep -q " $root/" /proc/mounts && { echo "a mount is left in the root"; failed=1; }

[ $failed -eq 0 ] && echo "6 passed, 0 failed"
exit $failed
