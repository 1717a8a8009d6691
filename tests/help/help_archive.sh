#!/usr/bin/env bash
# The compiled help archive: a page for each of the 17 sections, contents (.hhc) and index
# (.hhk) that parse and lead to pages of the archive, at least 12,000 words over the pages,
# and every key of each section's sample data file in the parameter table of its page.
#   help_archive.sh HELP3_CHM REPO
set -euo pipefail
chm=$1
repo=$2
command -v extract_chmLib >/dev/null || { echo "extract_chmLib not found (apt-get install libchm-bin)"; exit 1; }
[ -f "$chm" ] || { echo "no archive $chm"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
extract_chmLib "$chm" "$work/x" >/dev/null
x="$work/x"
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
utf() { iconv -f CP1251 -t UTF-8 "$1"; }

# ---- one page per section, each with its parameter table and a picture or the report text.
sections="11 12 21 213 215 217 22 3 4 511 512 521 522 6 7 8 9"
for s in $sections; do
    p="$x/sec_$s.htm"
    [ -f "$p" ] || { fail "no page sec_$s.htm"; continue; }
    utf "$p" >"$work/sec_$s.utf"
    text=$(cat "$work/sec_$s.utf")
    grep -q '>Ключ</th>' <<<"$text" || fail "sec_$s.htm has no parameter table"
    if grep -q 'VELTA:' <<<"$text"; then fail "sec_$s.htm keeps an unexpanded mark"; fi
    grep -q "^s$s=sec_$s.htm" "$x/velta_topics.txt" || fail "velta_topics.txt does not map section $s"
done
grep -q '^1001=varpar.htm' "$x/velta_topics.txt" || fail "topic 1001 is not the variation page"
grep -q '^1002=' "$x/velta_topics.txt" || fail "topic 1002 is not mapped"

# ---- pictures named by the pages are in the archive and are PNG images.
for p in "$x"/*.htm; do
    for img in $(utf "$p" | grep -o 'src="[^"]*"' | sed 's/src="//; s/"$//'); do
        [ -f "$x/$img" ] || { fail "$(basename "$p"): picture $img missing"; continue; }
        [ "$(head -c 4 "$x/$img" | tail -c 3)" = "PNG" ] || fail "$img is not a PNG"
    done
done

# ---- contents and index: every object has a Name and a Local page of the archive,
# lists are balanced, and every page of the archive is reachable from the contents.
check_sitemap() {
    local f=$1 what=$2
    [ -f "$f" ] || { fail "no $what file $(basename "$f")"; return; }
    utf "$f" | tr -d '\r' | awk -v what="$what" '
        BEGIN { IGNORECASE = 1 }
        { line = tolower($0) }
        line ~ /<ul>/ { depth += gsub(/<ul>/, "", line) }
        line ~ /<\/ul>/ { depth -= gsub(/<\/ul>/, "", line); if (depth < 0) bad = bad " unbalanced</ul>" }
        tolower($0) ~ /<object type="text\/sitemap">/ { inobj = 1; name = ""; local = ""; objs++ ; next }
        inobj && tolower($0) ~ /<param name="name"/ { name = $0 }
        inobj && tolower($0) ~ /<param name="local"/ {
            l = $0; sub(/.*value="/, "", l); sub(/".*/, "", l); sub(/#.*/, "", l); print "LOCAL " l
        }
        inobj && tolower($0) ~ /<\/object>/ { inobj = 0; if (name == "") bad = bad " object-without-name" }
        END {
            if (depth != 0) bad = bad " unbalanced-lists"
            if (objs == 0) bad = bad " no-entries"
            if (bad != "") print "BAD " what ":" bad
            print "COUNT " objs
        }' >"$work/$what.out"
    if grep -q '^BAD ' "$work/$what.out"; then fail "$(grep '^BAD ' "$work/$what.out")"; fi
    while read -r _ page; do
        [ -f "$x/$page" ] || fail "$what names a missing page $page"
    done < <(grep '^LOCAL ' "$work/$what.out")
    echo "$what: $(grep '^COUNT' "$work/$what.out" | cut -d' ' -f2) entries"
}
check_sitemap "$x/toc.hhc" contents
check_sitemap "$x/index.hhk" index
for p in "$x"/*.htm; do
    n=$(basename "$p")
    grep -q "^LOCAL $n\$" "$work/contents.out" || fail "page $n is not in the contents"
done
keywords=$(grep -c '^LOCAL ' "$work/index.out" 2>/dev/null || true)
[ "${keywords:-0}" -ge 60 ] || fail "the index has fewer than 60 keywords"

# ---- words over all pages (text without tags).
words=$(for p in "$x"/*.htm; do utf "$p" | sed 's/<[^>]*>/ /g; s/&[a-z]*;/ /g'; done | wc -w)
pages=$(ls "$x"/*.htm | wc -l)
echo "pages: $pages, words: $words"
[ "$pages" -ge 22 ] || fail "only $pages pages"
[ "$words" -ge 12000 ] || fail "only $words words"

# ---- keys of the samples in the tables. The keys are taken here from the data files
# themselves: lines "KEY = value" with one value, and label lines "LABEL:" of list values.
sample() {
    case $1 in
        11) echo Sym_Oscill.mnkd ;; 12) echo Mnk/Tau0/Tau0_Oscill.mnzd ;; 21) echo Kolco5.mtrd ;;
        213) echo Kolco5.srgd ;; 215) echo Repress3.srRd ;; 217) echo Fold3.diud ;;
        22) echo Mtr/Tau0/Tau0_Oscill.mtzd ;; 3) echo Cirk3_Repress.stbd ;; 4) echo "" ;;
        511) echo Syn1_Oscill.sy1d ;; 512) echo Sy1z/Tau0/Oscill.syzd ;; 521) echo Syn2_Oscill.sy2d ;;
        522) echo Sy2z/Tau0/Oscill.syzd ;; 6) echo Suz/Tau0/Ring3_Oscill.suzd ;; 7) echo StaResh5_LL1.stRd ;;
        8) echo EcoCycle3.gsed ;; 9) echo Chaos_Oscill.chad ;;
    esac
}
nkeys=0
for s in $sections; do
    f=$(sample "$s")
    [ -n "$f" ] || continue
    [ -f "$x/sec_$s.htm" ] || continue
    # Each key must stand in the page as <code>KEY</code>; one awk per page.
    out=$(iconv -f CP1251 -t UTF-8 "$repo/User/$f" | tr -d '\r' |
          sed -n 's/^\([A-Za-z_][A-Za-z0-9_]*\) = [^ ]*$/\1/p; s/^\([A-Za-z0-9_(),.]*\):$/\1/p' |
          awk -v page="$work/sec_$s.utf" 'BEGIN { while ((getline l < page) > 0) text = text l "\n" }
              { n++; if (index(text, "<code>" $0 "</code>") == 0) print "MISSING " $0 }
              END { print "COUNT " n + 0 }' )
    while read -r tag key; do
        if [ "$tag" = MISSING ]; then fail "sec_$s.htm: key $key of $f is not in the table"; else nkeys=$((nkeys + key)); fi
    done <<<"$out"
done
echo "sample keys checked: $nkeys"

# ---- the model formulation and data bank of each section stand in its page as in Z_Bank.
zbank() {
    case $1 in
        11) echo СимАвто ;; 12) echo СимЗап ;; 21) echo ГГСАвто ;; 213) echo СтацРешMNN ;; 215) echo СтацРешRND ;;
        217) echo ДиагУст ;; 22) echo ГГСЗап ;; 3) echo УстЦирк ;; 4) echo Ассор ;; 511) echo Син1Авто ;;
        512) echo Син1Зап ;; 521) echo Син2Авто ;; 522) echo Син2Зап ;; 6) echo СисУрЗап ;; 7) echo СтаРеш ;;
        8) echo ГСЭко ;; 9) echo Хаос ;;
    esac
}
nlines=0
for s in $sections; do
    [ -f "$x/sec_$s.htm" ] || continue
    for t in "$(zbank "$s").txt" "$(zbank "$s")_Банк.txt"; do
        out=$(iconv -f CP1251 -t UTF-8 "$repo/User/Z_Bank/$t" | tr -d '\r' |
              awk -v page="$work/sec_$s.utf" 'BEGIN { while ((getline l < page) > 0) text = text l "\n" }
                  { gsub(/&/, "\\&amp;"); gsub(/</, "\\&lt;"); gsub(/>/, "\\&gt;"); gsub(/"/, "\\&quot;") }
                  /[^ ]/ { n++; if (index(text, $0) == 0 && !bad) { print "MISSING " $0; bad = 1 } }
                  END { print "COUNT " n + 0 }')
        while read -r tag rest; do
            if [ "$tag" = MISSING ]; then fail "sec_$s.htm: line of Z_Bank/$t missing: $rest"; else nlines=$((nlines + rest)); fi
        done <<<"$out"
    done
done
echo "Z_Bank lines checked: $nlines"
[ "$nkeys" -ge 250 ] || fail "only $nkeys keys found in the samples"

[ "$fails" -eq 0 ] || { echo "$fails failure(s)"; exit 1; }
echo "help archive OK"
