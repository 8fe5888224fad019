#!/bin/sh
# SPDX-License-Identifier: MIT
# Every language the client ships is complete: every source file that writes
# a text through tr() or marks one translatable() is listed in POTFILES (else its texts never reach the
# template), and each .po of LINGUAS, brought up to date with the template
# made from the sources, has no text left untranslated or only guessed
# (fuzzy). Shows what is missing.
#   usage: check-translations.sh SOURCE_DIR TEMPLATE
set -eu
usage="usage: check-translations.sh SOURCE_DIR TEMPLATE"
source_dir=${1:?$usage}
template=${2:?$usage}
po_dir=$source_dir/po
merged=$(mktemp)
trap 'rm -f "$merged"' EXIT
failed=0

for file in $(cd "$source_dir" && grep -rlE '(^|[^[:alnum:]_])(tr|translatable)\("' app browser toolkit portal net tools); do
  grep -qx "$file" "$po_dir/POTFILES" && continue
  echo "$file has texts to translate but is not listed in po/POTFILES" >&2
  failed=1
done
for language in $(grep -v '^#' "$po_dir/LINGUAS"); do
  msgmerge --quiet --output-file="$merged" "$po_dir/$language.po" "$template"
  statistics=$(msgfmt --statistics --output-file=/dev/null "$merged" 2>&1)
  echo "$language: $statistics"
  case "$statistics" in
    *fuzzy* | *untranslated*)
      echo "$language.po lacks these (run msgmerge --update $po_dir/$language.po $template):" >&2
      msgattrib --untranslated --no-obsolete "$merged" | sed -n '/^#:/,$p' >&2
      msgattrib --only-fuzzy --no-obsolete "$merged" | sed -n '/^#:/,$p' >&2
      failed=1 ;;
  esac
done
exit $failed
