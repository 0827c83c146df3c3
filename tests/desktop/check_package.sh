#!/usr/bin/env bash
# The Debian package: its files, its control fields, and Depends computed from the libraries the
# programs link, which apt can satisfy on this system.
#   check_package.sh BUILD_DIR
set -u
build=${1:?usage: check_package.sh BUILD_DIR}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: missing $tool (scripts/setup-debian.sh installs it)"; exit 77; }
done
tmp=$(mktemp -d "${TMPDIR:-/tmp}/saporin-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp") >"$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log"; echo "FAIL: cpack -G DEB"; exit 1; }
deb=$(ls "$tmp"/saporin_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$tmp/cpack.log"; echo "FAIL: no saporin_*.deb"; exit 1; }
echo "built $(basename "$deb")"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
id=org.saporin.Saporin
for f in ./usr/bin/saporin ./usr/bin/saporin-cli ./usr/share/applications/$id.desktop \
         ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
         ./usr/share/icons/hicolor/48x48/apps/$id.png ./usr/share/icons/hicolor/256x256/apps/$id.png \
         ./usr/share/man/man1/saporin.1.gz ./usr/share/man/man1/saporin-cli.1.gz; do
    grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
done
grep -q '^\./usr/local/\|^\./usr/lib/.*\.a$\|^\./usr/include/' <<<"$contents" && fail "the package holds files it should not"

[ "$(dpkg-deb -f "$deb" Package)" = saporin ] || fail "Package is not saporin"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depends_names=$(sed 's/ *([^)]*)//g; s/ *| */\n/g; s/, */\n/g' <<<"$depends")
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6 \
           libsqlite3-0 zlib1g libjpeg62-turbo; do
    grep -qxF "$lib" <<<"$depends_names" || fail "Depends lacks $lib"
done
# Every dependency is one apt can install here (or has installed).
if command -v apt-get >/dev/null; then
    apt-get install -s -qq "$deb" >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt cannot install the package"; }
fi
# Stripped programs: debug information stays out of the package.
dpkg-deb -x "$deb" "$tmp/root"
file "$tmp/root/usr/bin/saporin" | grep -q 'not stripped' && fail "saporin is not stripped"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package checks passed"
