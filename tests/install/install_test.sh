#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and uses it as a new user would: the layout,
# the desktop entry and metainfo through their validators, the installed runner and the
# installed program in fresh per-user folders made from the read-only package folder.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
src=$2
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/dest" cmake --install "$build" --prefix /usr >"$tmp/install.log"
root="$tmp/dest/usr"
for f in bin/velta bin/velta-run share/velta/Help3.chm share/velta/User/Sym_Oscill.mnkd \
         share/velta/User/VELTA_D.doc share/velta/User/Mnk/Tau0 share/velta/User/Z_Bank \
         share/applications/org.velta.Velta.desktop share/metainfo/org.velta.Velta.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.velta.Velta.svg; do
    [ -e "$root/$f" ] || fail "not installed: $f"
done
for size in 16 24 32 48 64 128 256; do
    png="$root/share/icons/hicolor/${size}x${size}/apps/org.velta.Velta.png"
    [ -f "$png" ] || fail "no ${size}px icon"
    # The PNG header: signature, then width and height (big-endian) in the IHDR chunk.
    read -r w3 w2 w1 w0 h3 h2 h1 h0 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(( (w3 << 24) | (w2 << 16) | (w1 << 8) | w0 )) -eq "$size" ] &&
        [ $(( (h3 << 24) | (h2 << 16) | (h1 << 8) | h0 )) -eq "$size" ] || fail "icon $png is not ${size}x${size}"
done
# The template is the shipped User, file for file.
(cd "$src/User" && find . -type f | sort) >"$tmp/want"
(cd "$root/share/velta/User" && find . -type f | sort) >"$tmp/got"
diff "$tmp/want" "$tmp/got" >/dev/null || fail "the installed User differs from the shipped one"

desktop="$root/share/applications/org.velta.Velta.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/org.velta.Velta.metainfo.xml" || fail "appstreamcli validate"
grep -qx "Exec=velta" "$desktop" || fail "Exec is not velta"
grep -qx "Icon=org.velta.Velta" "$desktop" || fail "Icon does not name the installed icon"
if ldd "$root/bin/velta" "$root/bin/velta-run" | grep -q "not found"; then fail "unresolved libraries"; fi

# A read-only package folder, as under /usr; root writes anywhere, so the programs run as
# nobody then.
chmod -R a-w "$root/share/velta"
chmod 755 "$tmp"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    run_as=(setpriv --reuid="$(id -u nobody)" --regid="$(getent group nogroup | cut -d: -f3)" --clear-groups --)
fi
newhome() { mkdir -p "$1"; [ ${#run_as[@]} -eq 0 ] || chown -R nobody "$1"; }

# The installed runner without --root, in a fresh home: $HOME/.local/share/velta/User.
home="$tmp/home1"
newhome "$home"
env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "${run_as[@]}" \
    "$root/bin/velta-run" --section 11 --data Sym_Oscill.mnkd --png "$home/oscill.png" \
    >"$tmp/run1.out" 2>"$tmp/run1.err" || { cat "$tmp/run1.err" >&2; fail "installed velta-run failed"; }
work="$home/.local/share/velta/User"
[ -f "$work/Results.mnk" ] || fail "no Results.mnk in $work"
[ -f "$work/Input.chk" ] || fail "no Input.chk in $work"
ls "$work/Mnk/Tau0/"*.mnzd >/dev/null 2>&1 || fail "the template was not copied"
[ "$(head -c 4 "$home/oscill.png" | tail -c 3)" = PNG ] || fail "no picture"
[ ! -e "$root/share/velta/User/Results.mnk" ] || fail "the package folder was written"

# The same results as the build tree's runner on the same sample.
mkdir -p "$tmp/tree"
cp -r "$src/User" "$tmp/tree/User"
QT_QPA_PLATFORM=offscreen "$build/velta-run" --root "$tmp/tree" --section 11 --data Sym_Oscill.mnkd \
    >/dev/null 2>&1 || fail "build-tree velta-run failed"
cmp -s "$tmp/tree/User/Results.mnk" "$work/Results.mnk" || fail "installed and build-tree results differ"

# The user's files stay: an edited sample survives the next start.
printf 'mine\r\n' >>"$work/Sym_Damped.mnkd"
env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "${run_as[@]}" \
    "$root/bin/velta-run" --section 11 --data Sym_Oscill.mnkd >/dev/null 2>&1 || fail "second run failed"
tail -c 6 "$work/Sym_Damped.mnkd" | grep -q mine || fail "the user's edit was overwritten"

# $XDG_DATA_HOME decides where the folder goes; the desktop program makes it on its first start.
home="$tmp/home2"
newhome "$home"
newhome "$tmp/xdg"
set +e
env -i HOME="$home" XDG_DATA_HOME="$tmp/xdg" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen \
    "${run_as[@]}" timeout 5 "$root/bin/velta" >"$tmp/velta.out" 2>&1
rc=$?
set -e
[ $rc -eq 124 ] || { cat "$tmp/velta.out" >&2; fail "the installed velta ended with $rc instead of running"; }
[ -f "$tmp/xdg/velta/User/Sym_Oscill.mnkd" ] || fail "velta made no per-user folder under \$XDG_DATA_HOME"
[ ! -e "$home/.local/share/velta" ] || fail "velta ignored \$XDG_DATA_HOME"
echo "install: layout, validators, per-user runs: ok"
