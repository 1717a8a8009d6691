#!/usr/bin/env bash
# Builds the Debian package with cpack and checks its control data and contents.
#   deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1) \
    || { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$tmp"/velta_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no velta_*.deb"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libchm1 libstdc++6 libc6 fonts-liberation; do
    grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib"
done
[ "$(dpkg-deb -f "$deb" Package)" = velta ] || fail "package name"
dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/files"
for f in ./usr/bin/velta ./usr/bin/velta-run ./usr/share/velta/Help3.chm ./usr/share/velta/User/VELTA_D.doc \
         ./usr/share/applications/org.velta.Velta.desktop ./usr/share/metainfo/org.velta.Velta.metainfo.xml \
         ./usr/share/icons/hicolor/48x48/apps/org.velta.Velta.png; do
    grep -qx "$f" "$tmp/files" || fail "the package lacks $f"
done
echo "deb: $(basename "$deb"): ok"
