#!/bin/sh
# SPDX-License-Identifier: MIT
# Every language the client ships is complete: every source file that writes
# a text through tr() or marks one translatable() is listed in POTFILES (else its texts never reach the
# template), and each .po of LINGUAS, brought up to date with the template
# made from the sources, has no text left untranslated or only guessed
# (fuzzy); so has each language's catalogue of the manual page (po/man/LANG.po)
# against the page's template. Shows what is missing.
#   usage: check-translations.sh SOURCE_DIR TEMPLATE MAN_TEMPLATE
set -eu
usage="usage: check-translations.sh SOURCE_DIR TEMPLATE MAN_TEMPLATE"
source_dir=${1:?$usage}
template=${2:?$usage}
man_template=${3:?$usage}
po_dir=$source_dir/po
merged=$(mktemp)
trap 'rm -f "$merged"' EXIT
failed=0

for file in $(cd "$source_dir" && grep -rlE '(^|[^[:alnum:]_])(tr|translatable)\("' app browser toolkit portal net tools); do
  grep -qx "$file" "$po_dir/POTFILES" && continue
  echo "$file has texts to translate but is not listed in po/POTFILES" >&2
  failed=1
done
# complete CATALOGUE TEMPLATE: the catalogue, brought up to date, lacks nothing.
complete() {
  if [ ! -f "$1" ]; then
    echo "$1 is missing (make it with msginit --input=$2 --output-file=$1)" >&2
    return 1
  fi
  msgmerge --quiet --output-file="$merged" "$1" "$2"
  statistics=$(msgfmt --statistics --output-file=/dev/null "$merged" 2>&1)
  echo "$1: $statistics"
  case "$statistics" in
    *fuzzy* | *untranslated*)
      echo "$1 lacks these (run msgmerge --update --backup=none $1 $2):" >&2
      msgattrib --untranslated --no-obsolete "$merged" | sed -n '/^#:/,$p' >&2
      msgattrib --only-fuzzy --no-obsolete "$merged" | sed -n '/^#:/,$p' >&2
      return 1 ;;
  esac
}
for language in $(grep -v '^#' "$po_dir/LINGUAS"); do
  complete "$po_dir/$language.po" "$template" || failed=1
  complete "$po_dir/man/$language.po" "$man_template" || failed=1
done
exit $failed
