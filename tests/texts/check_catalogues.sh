#!/usr/bin/env bash
# Every catalogue named in po/LINGUAS is complete and sound: msgfmt --check
# (headers, plural forms, placeholders of the texts marked qt-format) finds
# nothing and counts every text translated, none fuzzy or untranslated;
# msgcmp finds each text of the template korvin4.pot translated in it; and
# its header names its language team.
# Usage: check_catalogues.sh PO-DIR
set -uo pipefail
po="$1"
for tool in msgfmt msgcmp; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (package gettext)"; exit 77; }
done
faults=0
total=$(msgfmt --statistics -o /dev/null "$po/korvin4.pot" 2>&1 | sed -n 's/.*, \([0-9]*\) untranslated message.*/\1/p')
languages=$(grep -v '^#' "$po/LINGUAS")
count=0
for language in $languages; do
  file="$po/$language.po"
  out=$(msgfmt --check --statistics -o /dev/null "$file" 2>&1)
  if [ "$out" != "$total translated messages." ]; then
    echo "FAULT: $language.po: $out (the template has $total texts)"
    faults=$((faults + 1))
  fi
  if ! msgcmp "$file" "$po/korvin4.pot" 2>/dev/null; then
    msgcmp "$file" "$po/korvin4.pot"
    echo "FAULT: $language.po lacks texts of korvin4.pot"
    faults=$((faults + 1))
  fi
  grep -q "^\"Language: $language\\\\n\"$" "$file" || { echo "FAULT: $language.po does not name its language"; faults=$((faults + 1)); }
  grep -q '^"Language-Team: Korvin 4 .* team' "$file" || { echo "FAULT: $language.po names no Korvin 4 language team"; faults=$((faults + 1)); }
  echo "$language: $out"
  count=$((count + 1))
done
[ "$count" -ge 8 ] || { echo "FAULT: only $count catalogues"; faults=$((faults + 1)); }
echo "catalogues: $count checked, $faults fault(s)"
[ "$faults" -eq 0 ]
