#!/bin/sh
# Builds the Debian package from a build folder and validates what it installs:
# the menu entry, the software-centre description, and run-time dependencies
# computed from the binary.
set -eu
build=${1:?usage: check-package.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)

desktop-file-validate "$here/io.kwirl.GameClient.desktop"
appstreamcli validate --no-net "$here/io.kwirl.GameClient.metainfo.xml"

cd "$build"
rm -f kwirl_*.deb
cpack -G DEB >/dev/null
package=$(ls kwirl_*.deb)
depends=$(dpkg-deb -f "$package" Depends)
echo "$package depends on: $depends"
for library in libwebkit2gtk-4.0-37 libwxgtk-webview3.2-1 libglib2.0-0; do
  case "$depends" in
    *"$library"*) ;;
    *) echo "missing run-time dependency: $library" >&2; exit 1 ;;
  esac
done
listing=$(dpkg-deb -c "$package")
for file in ./usr/bin/kwirl ./usr/share/applications/io.kwirl.GameClient.desktop \
            ./usr/share/icons/hicolor/scalable/apps/io.kwirl.GameClient.svg \
            ./usr/share/metainfo/io.kwirl.GameClient.metainfo.xml; do
  echo "$listing" | grep -q " $file\$" || { echo "not in the package: $file" >&2; exit 1; }
done
if echo "$listing" | grep -qE 'kwirl-fetch|demo-portal'; then
  echo "the package holds more than the client" >&2
  exit 1
fi
echo "package checked: $package"
