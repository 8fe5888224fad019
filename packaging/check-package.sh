#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the Debian package from a build folder and validates what it installs:
# Debian's own checker (lintian) finds no error and no warning, the files it
# holds (the German catalogue and manual page among them), the menu entry and the
# software-centre description as shipped and translated, and run-time
# dependencies computed from the binary.
set -eu
build=${1:?usage: check-package.sh BUILD_DIR}

cd "$build"
rm -f kwirl_*.deb
cpack -G DEB >/dev/null
package=$(ls kwirl_*.deb)
# Every error or warning fails; informational tags are shown. No tag is overridden:
# an override would go into usr/share/lintian/overrides/kwirl in the package, each
# with a comment that says why the tag does not apply.
lintian --fail-on error,warning --display-info "$package" || {
  echo "lintian finds errors or warnings in $package" >&2
  exit 1
}
depends=$(dpkg-deb -f "$package" Depends)
echo "$package depends on: $depends"
# The engine (webkit2gtk-4.1) and GLib; on Debian 13 under its names for the
# 64-bit time ABI (libglib2.0-0t64).
for library in 'libwebkit2gtk-4\.1-0' 'libglib2\.0-0'; do
  echo "$depends" | grep -q "\(^\|, \)$library" || { echo "missing run-time dependency: $library" >&2; exit 1; }
done
# Every package named is a real package of the release built on, installed
# here: a name of another release (libglib2.0-0 on Debian 13, where only a
# transitional name provides it) would not install in a clean root.
for name in $(echo "$depends" | tr ',' '\n' | sed 's/[|(].*//'); do
  dpkg-query -W -f='${Status}\n' "$name" 2>/dev/null | grep -q 'install ok installed' ||
    { echo "a dependency that is no package of this release: $name" >&2; exit 1; }
done
# The engine's libsoup 2 build (and the toolkit's web view, built on it) must
# not come in: a process that loads both libsoups crashes, and Debian 13 has
# no such build.
for library in libwebkit2gtk-4.0 libsoup2.4 libsoup-2.4 libwxgtk-webview; do
  case "$depends" in
    *"$library"*) echo "a run-time dependency on the engine's libsoup 2 build: $library" >&2; exit 1 ;;
  esac
done
# A CMake list separator once leaked into the description as a ";".
if dpkg-deb -f "$package" Description | grep -q ';'; then
  echo "a list separator in the package's description:" >&2
  dpkg-deb -f "$package" Description >&2
  exit 1
fi
listing=$(dpkg-deb -c "$package")
for file in ./usr/games/kwirl ./usr/share/man/man6/kwirl.6.gz ./usr/share/man/de/man6/kwirl.6.gz \
            ./usr/share/doc/kwirl/copyright ./usr/share/doc/kwirl/changelog.gz \
            ./usr/share/applications/io.kwirl.GameClient.desktop \
            ./usr/share/icons/hicolor/scalable/apps/io.kwirl.GameClient.svg \
            ./usr/share/metainfo/io.kwirl.GameClient.metainfo.xml \
            ./usr/share/locale/de/LC_MESSAGES/kwirl.mo; do
  echo "$listing" | grep -q " $file\$" && continue
  echo "not in the package: $file" >&2
  # A build folder whose cache an older version of the build files wrote may keep /usr/local.
  if echo "$listing" | grep -q ' \./usr/local/'; then
    echo "the package installs under /usr/local: configure with -DCMAKE_INSTALL_PREFIX=/usr" >&2
  fi
  exit 1
done
if echo "$listing" | grep -qE 'kwirl-fetch|demo-portal|/bin/'; then
  echo "the package holds more than the client, or the client outside /usr/games" >&2
  exit 1
fi

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$package" "$contents"
desktop-file-validate "$contents/usr/share/applications/io.kwirl.GameClient.desktop"
# ... nor any library the client needs, however deep: libsoup 2 is never loaded.
if ldd "$contents/usr/games/kwirl" | grep -E 'libsoup-2\.4|libwebkit2gtk-4\.0|libwx_gtk3u_webview'; then
  echo "the client loads the engine's libsoup 2 build" >&2
  exit 1
fi
# The client as shipped trusts the system's certificate store alone: the way
# a test copy is told of its loopback portal's certificate is not in it.
if grep -rlq KWIRL_TEST_CA_FILE "$contents"; then
  echo "the package holds the test copy's way to trust a certificate (KWIRL_TEST_CA_FILE)" >&2
  exit 1
fi
# Pedantic hints are shown; any other issue, an informational one too, fails.
appstreamcli validate --pedantic --strict --no-net "$contents/usr/share/metainfo/io.kwirl.GameClient.metainfo.xml"
# Both carry the German translation merged in at build time.
grep -q '^Comment\[de\]=' "$contents/usr/share/applications/io.kwirl.GameClient.desktop" ||
  { echo "the menu entry has no German description" >&2; exit 1; }
grep -q '<summary xml:lang="de">' "$contents/usr/share/metainfo/io.kwirl.GameClient.metainfo.xml" ||
  { echo "the software-centre description has no German summary" >&2; exit 1; }
command=$(sed -n 's/^Exec=//p' "$contents/usr/share/applications/io.kwirl.GameClient.desktop")
[ "$command" = "/usr/games/kwirl %u" ] ||
  { echo "the menu entry starts '$command', not '/usr/games/kwirl %u'" >&2; exit 1; }
version=$(dpkg-deb -f "$package" Version)
latest=$(zcat "$contents/usr/share/doc/kwirl/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$latest" = "$version" ] || { echo "the changelog's latest entry is $latest, the package $version" >&2; exit 1; }
echo "package checked: $package"
