#!/bin/sh
# SPDX-License-Identifier: MIT
# What the compiler cannot check about the sources, run by ctest:
#  - only browser/ (and its tests, tests/browser/) includes a header of the
#    browser engine: WebKit, its JavaScript engine, its network library, the
#    toolkit's web view;
#  - only browser/ and toolkit/ include a header of the native toolkit (GTK,
#    GDK, X11): the window is written against wxWidgets alone;
#  - every source file carries the licence line "SPDX-License-Identifier: MIT"
#    on its first line, or on its second after a "#!" line;
#  - every C++ file is laid out as .clang-format says, by the clang-format
#    scripts/setup.sh installs: version 14 on Debian 12, 19 on Debian 13, which
#    lay these sources out alike (`clang-format-14 -i FILE` lays one out).
#   usage: check-sources.sh [SOURCE_DIR]
set -eu
cd "${1:-$(dirname "$0")/..}"

# The project's files: those git knows (tracked, or new and not ignored), or
# in a copy without git every file outside the build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files --cached --others --exclude-standard)
else
  files=$(find . -path ./.git -prune -o -path './build*' -prune -o -type f -print | sed 's|^\./||')
fi

engine='(webkit2|webkit|webkitdom|jsc|JavaScriptCore|libsoup)/|wx/webview'
native='(gtk|gdk|X11)/'
failed=0
fail() {
  echo "$1" >&2
  failed=1
}
# Every #include in $file of a header whose path matches $1, told as $2.
forbid() {
  found=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($1)" "$file" || true)
  [ -z "$found" ] || fail "$(echo "$found" | sed "s|^|$file:|; s|\$|: $2|")"
}

cpp_files=""
for file in $files; do
  [ -f "$file" ] || continue  # removed from the working tree, not yet from the index
  case "$file" in
    *.cpp | *.h | *.h.in | *.py | *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt | .ci/*) ;;
    *) continue ;;
  esac

  first=$(sed -n 1p "$file")
  case "$first" in '#!'*) licence=$(sed -n 2p "$file") ;; *) licence=$first ;; esac
  case "$licence" in
    *"SPDX-License-Identifier: MIT"*) ;;
    *) fail "$file: no line \"SPDX-License-Identifier: MIT\" at its top" ;;
  esac

  case "$file" in *.cpp | *.h | *.h.in) ;; *) continue ;; esac
  case "$file" in *.cpp | *.h) cpp_files="$cpp_files $file" ;; esac
  case "$file" in
    browser/* | tests/browser/*) ;;
    *) forbid "$engine" "an engine header outside browser/" ;;
  esac
  case "$file" in
    browser/* | toolkit/*) ;;
    *) forbid "$native" "a native toolkit header outside browser/ and toolkit/" ;;
  esac
done

formatter=""
for version in 14 19; do
  command -v "clang-format-$version" >/dev/null 2>&1 && formatter=clang-format-$version && break
done
if [ -z "$formatter" ]; then
  fail "clang-format-14 or -19 is missing: sh scripts/setup.sh installs the one of this release"
elif [ -n "$cpp_files" ]; then
  # shellcheck disable=SC2086 # one file name a word: the project's names hold no blank
  "$formatter" --style=file --dry-run --Werror $cpp_files 2>&1 | grep -E '^[^ ].*: (error|warning):' >&2 &&
    fail "not laid out as .clang-format says: $formatter -i FILE lays it out"
fi
exit $failed
