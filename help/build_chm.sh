#!/bin/sh
# Compiles the help pages in src/ into Help3.chm.
#
#   build_chm.sh [--run VELTA_RUN] [--gen VELTA_HELPGEN] [--out FILE]
#
# Without options the programs are taken from ../build (the build folder of tools/run.sh)
# and the archive is written to Help3.chm beside this script (the committed copy, used by
# builds without chmcmd). The build runs it with its own programs and output path.
#
# Pages of the archive (names the help viewer relies on):
#   index.htm           default page (contents of the package)
#   sec_<code>.htm      the page of a section, by its code without points: sec_11.htm,
#                       sec_12.htm, sec_21.htm, sec_213.htm, sec_215.htm, sec_217.htm,
#                       sec_22.htm, sec_3.htm, sec_4.htm, sec_511.htm, sec_512.htm,
#                       sec_521.htm, sec_522.htm, sec_6.htm, sec_7.htm, sec_8.htm, sec_9.htm
#   varpar.htm          topic 1001 (variation dialogs); input.htm is topic 1002 when the
#                       viewer does not know the current section
#   examples.htm        the examples document User\VELTA_D.doc as pages: examples.htm
#                       (general order of work and the list), ex_<code>.htm per section
#   toc.hhc, index.hhk  table of contents and keyword index
# velta_topics.txt in the archive repeats this as "key=page" lines: "1001=varpar.htm",
# "1002=input.htm", "s11=sec_11.htm" … one per section, "examples=examples.htm".
#
# Steps: the runner draws the pictures of the worked examples from the shipped samples
# (in a scratch copy of User), the generator fills the parameter tables and the model
# texts into the section pages from the sections' own data files and Z_Bank texts and
# turns the examples document into pages, then chmcmd (fp-utils) compiles. The pages are
# written in UTF-8 and stored in the archive in Windows-1251.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
run="$repo/build/velta-run"
gen="$repo/build/velta-helpgen"
out="$here/Help3.chm"
while [ $# -gt 0 ]; do
    case "$1" in
        --run) run=$2; shift 2 ;;
        --gen) gen=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) echo "usage: build_chm.sh [--run VELTA_RUN] [--gen VELTA_HELPGEN] [--out FILE]" >&2; exit 2 ;;
    esac
done
command -v chmcmd >/dev/null 2>&1 || { echo "build_chm.sh: chmcmd not found (apt-get install fp-utils)" >&2; exit 1; }
[ -x "$run" ] || { echo "build_chm.sh: no runner $run (build velta-run first)" >&2; exit 1; }
[ -x "$gen" ] || { echo "build_chm.sh: no generator $gen (build velta-helpgen first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
pages="$work/pages"
mkdir -p "$pages" "$work/root"

# ---- pictures: one run of the runner per worked example, in a scratch application folder.
cp -R "$repo/User" "$work/root/User"
picture() {  # picture NAME runner-arguments...
    name=$1; shift
    if ! QT_QPA_PLATFORM=offscreen "$run" --root "$work/root" "$@" --png "$pages/$name" \
            >"$work/run.log" 2>&1; then
        cat "$work/run.log" >&2
        echo "build_chm.sh: the runner failed for $name" >&2
        exit 1
    fi
}
picture pic_11.png  --section 11  --data Sym_Oscill.mnkd
picture pic_11p.png --section 11  --data Sym_Phase.mnkd
picture pic_12.png  --section 12  --task Tau0 --runs 3
picture pic_21.png  --section 21  --data Kolco5.mtrd
picture pic_21p.png --section 21  --data Puank5.mtrd
picture pic_213.png --section 213 --data Kolco5.srgd --answer 1 --answer 1,2,2,2,2 --answer END
picture pic_217.png --section 217 --data Fold3.diud --answer YES
picture pic_22.png  --section 22  --task Tau0 --runs 3
picture pic_3.png   --section 3   --data Cirk3_Repress.stbd
picture pic_511.png --section 511 --data Syn1_Oscill.sy1d
picture pic_512.png --section 512 --task Tau0 --data Oscill.syzd --runs 2
picture pic_521.png --section 521 --data Syn2_Oscill.sy2d
picture pic_522.png --section 522 --task Tau0 --data Oscill.syzd --runs 2
picture pic_6.png   --section 6   --task Tau0 --runs 2
picture pic_7.png   --section 7   --data StaResh5_LL1.stRd
picture pic_8.png   --section 8   --data EcoCycle3.gsed
picture pic_9.png   --section 9   --data Chaos_Phase.chad

# ---- pages: the section pages with their generated tables, the example pages, the rest as written.
"$gen" --src "$here/src" --user "$repo/User" --params "$here/gen/params.txt" --out "$pages"

# Topic numbers and pages in one plain table, read by the viewer when the archive has no
# context-id map of its own: "1001=varpar.htm"; then the section pages and the examples.
{
    awk '
        /^\[/ { sect = $0; next }
        sect == "[ALIAS]" && index($0, "=") { split($0, a, "="); page[a[1]] = a[2] }
        sect == "[MAP]" && $1 == "#define" { id[$2] = $3 }
        END { for (k in id) if (k in page) print id[k] "=" page[k] }
    ' "$here/src/Help3.hhp" | sort
    for f in "$pages"/sec_*.htm; do
        b=$(basename "$f" .htm)
        echo "s${b#sec_}=$b.htm"
    done
    echo "examples=examples.htm"
} >"$pages/velta_topics.txt"

# ---- the archive: Windows-1251 pages, the project file with the list of every file.
for f in "$pages"/*.htm "$pages/toc.hhc" "$pages/index.hhk"; do
    sed 's/charset=utf-8/charset=windows-1251/' "$f" | iconv -f UTF-8 -t CP1251 >"$work/$(basename "$f")"
done
for f in "$pages"/*.png "$pages/velta_topics.txt"; do cp "$f" "$work/"; done
{
    iconv -f UTF-8 -t CP1251 "$here/src/Help3.hhp"
    printf '\r\n[FILES]\r\n'
    (cd "$work" && ls *.htm *.png velta_topics.txt) | sed 's/$/\r/'
} >"$work/Help3.hhp"

(cd "$work" && chmcmd --no-html-scan Help3.hhp >"$work/chmcmd.log" 2>&1) || { cat "$work/chmcmd.log" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
cp "$work/Help3.chm" "$out"
echo "$out written ($(ls "$pages"/*.htm | wc -l) pages)"
