#!/usr/bin/env bash
# Writes every corpus document through our RTF writer and has LibreOffice read the result: its
# text must match the producer's own text of the original word for word (99 %; list numbers
# count), and it must find every picture we wrote.
# Usage: check-with-libreoffice.sh SAPORIN-CLI
set -euo pipefail
cli=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME="$tmp/home"
failed=0
# Ours first, then LibreOffice once for all files: starting it is what takes the time.
for source in "$here"/files/*.rtf; do
  name=$(basename "${source%.rtf}")
  "$cli" convert "$source" "$tmp/$name.rtf"
  "$cli" info "$source" | python3 -c 'import json,sys; print(len(json.load(sys.stdin)["pictures"]))' > "$tmp/$name.pictures"
done
soffice --headless --convert-to "txt:Text (encoded):UTF8" --outdir "$tmp" "$tmp"/*.rtf >/dev/null 2>&1
soffice --headless --convert-to odt --outdir "$tmp" "$tmp"/*.rtf >/dev/null 2>&1
for source in "$here"/files/*.rtf; do
  name=$(basename "${source%.rtf}")
  pictures=$(cat "$tmp/$name.pictures")
  found=$(unzip -l "$tmp/$name.odt" | grep -c ' Pictures/' || true)
  result=$(python3 - "${source%.rtf}.txt" "$tmp/$name.txt" <<'PY'
import re, sys, unicodedata
def words(path):
    text = open(path, encoding="utf-8-sig").read()
    return re.findall(r"\w+", unicodedata.normalize("NFC", text))
a, b = words(sys.argv[1]), words(sys.argv[2])
prev = list(range(len(b) + 1))
for i in range(1, len(a) + 1):
    cur = [i] + [0] * len(b)
    for j in range(1, len(b) + 1):
        cur[j] = min(prev[j - 1] + (a[i - 1] != b[j - 1]), prev[j] + 1, cur[j - 1] + 1)
    prev = cur
print("%.4f" % (1 - prev[-1] / max(len(a), len(b), 1)))
PY
)
  status=ok
  if python3 -c "import sys; sys.exit(0 if float('$result') >= 0.99 else 1)" && [ "$found" -ge "$pictures" ]; then :; else status=FAILED; failed=1; fi
  echo "$name: text $result similar, pictures $found of $pictures: $status"
done
exit $failed
