#!/usr/bin/env bash
# Regenerates the RTF corpus: documents of our own written by independent RTF producers that are
# in Debian (LibreOffice Writer, pandoc, enscript, latex2rtf), each beside the plain text that its
# producer (or, for latex2rtf, LibreOffice) reads out of it. The results are committed under files/;
# run this only to change the corpus. Needs: libreoffice-writer-nogui pandoc enscript latex2rtf.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
src=sources
out=files
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
export HOME="$tmp/home"   # LibreOffice keeps a profile there; never the user's own

office_text() { # RTF file -> its text as LibreOffice reads it, UTF-8
  soffice --headless --convert-to "txt:Text (encoded):UTF8" --outdir "$tmp" "$1" >/dev/null
  local name
  name=$(basename "${1%.rtf}")
  sed '1s/^\xEF\xBB\xBF//' "$tmp/$name.txt" > "$2"
}

# LibreOffice Writer: HTML pages imported into Writer, saved as RTF.
for doc in pancakes stew europe asia pictures; do
  cp "$src/$doc.html" "$tmp/lo-$doc.html"
  cp "$src"/*.png "$src"/*.jpg "$tmp/"
  soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf --outdir "$tmp" "$tmp/lo-$doc.html" >/dev/null
  cp "$tmp/lo-$doc.rtf" "$out/lo-$doc.rtf"
  office_text "$out/lo-$doc.rtf" "$out/lo-$doc.txt"
done

# pandoc: Markdown to standalone RTF, and pandoc's own plain text of the same Markdown.
for doc in bread salad; do
  pandoc -s -f markdown -t rtf -o "$out/pandoc-$doc.rtf" "$src/$doc.md"
  pandoc -f markdown -t plain --wrap=none -o "$out/pandoc-$doc.txt" "$src/$doc.md"
done

# enscript: a text file as RTF; its text is the input itself.
enscript --quiet --language=rtf -o "$out/enscript-shopping.rtf" "$src/shopping.txt"
cp "$src/shopping.txt" "$out/enscript-shopping.txt"

# latex2rtf: LaTeX to RTF; LibreOffice gives the reference text.
( cd "$tmp" && cp "$OLDPWD/$src/sauce.tex" . && latex2rtf -o latex2rtf-sauce.rtf sauce.tex >/dev/null 2>&1 )
cp "$tmp/latex2rtf-sauce.rtf" "$out/latex2rtf-sauce.rtf"
office_text "$out/latex2rtf-sauce.rtf" "$out/latex2rtf-sauce.txt"

ls -l "$out"
