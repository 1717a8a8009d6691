#!/bin/sh
# Compiles the help pages in src/ into Help3.chm beside this script.
# Needs chmcmd (Debian package fp-utils) and iconv. The pages are written in UTF-8 and
# stored in the archive in Windows-1251, the code page of Russian help files.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

command -v chmcmd >/dev/null 2>&1 || { echo "build_chm.sh: chmcmd not found (apt-get install fp-utils)" >&2; exit 1; }

for f in "$here"/src/*.htm "$here"/src/toc.hhc; do
    sed 's/charset=utf-8/charset=windows-1251/' "$f" | iconv -f UTF-8 -t CP1251 >"$work/$(basename "$f")"
done
iconv -f UTF-8 -t CP1251 "$here/src/Help3.hhp" >"$work/Help3.hhp"

# Topic numbers and pages in one plain table, read back by the viewer when the archive
# has no context-id map of its own: "1001=varpar.htm".
awk '
    /^\[/ { sect = $0; next }
    sect == "[ALIAS]" && index($0, "=") { split($0, a, "="); page[a[1]] = a[2] }
    sect == "[MAP]" && $1 == "#define" { id[$2] = $3 }
    END { for (k in id) if (k in page) print id[k] "=" page[k] }
' "$here/src/Help3.hhp" | sort >"$work/velta_topics.txt"

(cd "$work" && chmcmd --no-html-scan Help3.hhp >"$work/chmcmd.log" 2>&1) || { cat "$work/chmcmd.log" >&2; exit 1; }
cp "$work/Help3.chm" "$here/Help3.chm"
echo "help/Help3.chm written"
