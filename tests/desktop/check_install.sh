#!/usr/bin/env bash
# An install into a temporary prefix: every file a desktop needs is there and valid, and the
# installed programs keep their tables in the user's data folder, while a copy in a folder its
# user can write keeps them beside itself.
#   check_install.sh BUILD_DIR
set -u
build=${1:?usage: check_install.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

for tool in desktop-file-validate appstreamcli file; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: missing $tool (scripts/setup-debian.sh installs it)"; exit 77; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/saporin-install.XXXXXX")
prefix=$tmp/prefix
cleanup() { chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; fail "cmake --install"; exit 1; }

id=org.saporin.Saporin
for f in bin/saporin bin/saporin-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/256x256/apps/$id.png share/man/man1/saporin.1.gz share/man/man1/saporin-cli.1.gz; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for size in 48 256; do
    file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size" \
        || fail "the $size px icon is not a $size by $size PNG"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "the menu entry does not name the icon"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 \
    || { cat "$tmp/as.log"; fail "appstreamcli validate"; }
for page in saporin saporin-cli; do
    zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1" || fail "the $page man page"
done

# The installed program, run by a user who cannot write its bin/. For root, who may write
# anywhere, the folder's write bits decide.
chmod a-w "$prefix/bin"
export HOME=$tmp/home XDG_DATA_HOME=$tmp/xdg LC_ALL=C.UTF-8 LANG=C.UTF-8
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
cli=$prefix/bin/saporin-cli
data=$XDG_DATA_HOME/saporin
listing() { "$cli" list "$@" 2>&1; }

# The main program first, under a real X session where one can be had: it starts on no data,
# shows its icon, and ends normally.
gui=no
if . "$here/../gui/xsession.sh" && xs_require >/dev/null && xs_start 1024x768; then
    gui=yes
    trap 'xs_stop; cleanup' EXIT
    unset QT_QPA_PLATFORM
    run_program() {
        xs_spawn "$prefix/bin/saporin"
        app=$XS_LAST_PID
        main=$(xs_window "$app" "Brindle Office - Saporin") || { fail "$1: the main window did not appear"; return 1; }
        xprop -id "$main" _NET_WM_ICON | grep -q 'Icon (' \
            || fail "$1: the main window carries no icon"
        local id
        for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Error ] && fail "$1: an error box was shown"
        done
        xdotool windowactivate --sync "$main" >/dev/null 2>&1
        xs_wait xs_focused "$main"
        xdotool key alt+F4
        xs_wait xs_exited "$app" || fail "$1: the program did not end"
        wait "$app"; local code=$?
        [ "$code" -eq 0 ] || fail "$1: the program ended with $code"
    }
    run_program "first start"
    [ -d "$data" ] || fail "the first start did not create $data"
else
    echo "note: no X session; the main program itself is not started"
fi

"$cli" add-category Soups || fail "add-category without DATADIR"
"$cli" add-recipe - Soups "Leek soup" --tags leek || fail "add-recipe with DATADIR -"
[ -f "$data/Category.cds" ] && [ -f "$data/Recipe.cds" ] || fail "the tables are not in $data"
ls "$prefix/bin" | grep -q '\.cds$' && fail "tables were written beside the installed program"
[ "$gui" = yes ] && run_program "second start"
listing | grep -q '^Soups$' || fail "list without DATADIR does not show the category: $(listing)"
listing - | grep -q 'Leek soup' || fail "list - does not show the recipe: $(listing -)"
[ "$(listing "$data")" = "$(listing)" ] || fail "list DATADIR and list differ"
printf 'Flour, water, salt.\n' >"$tmp/Bread.txt"
"$cli" import Soups "$tmp/Bread.txt" || fail "import without DATADIR"
"$cli" export "$tmp/out" --format txt || fail "export without DATADIR"
[ -f "$tmp/out/Soups/Bread.txt" ] || fail "export without DATADIR wrote no Soups/Bread.txt"
[ "$gui" = yes ] && xs_stop
pass "installed program keeps its tables in \$XDG_DATA_HOME/saporin"

# A copy in a folder its user can write (a portable copy, as the build folder) keeps them beside.
mkdir -p "$tmp/portable"
cp "$cli" "$tmp/portable/"
"$tmp/portable/saporin-cli" add-category - Salads || fail "add-category in the portable copy"
[ -f "$tmp/portable/Category.cds" ] || fail "the portable copy did not keep its tables beside itself"
listing | grep -q Salads && fail "the portable copy wrote into the user's data folder"
pass "a copy in a writable folder keeps its tables beside itself"

# The same as an ordinary user, who really cannot write a bin/ owned by root.
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null && id nobody >/dev/null 2>&1; then
    chmod 755 "$tmp" "$prefix" "$prefix/bin"
    chmod u-w "$prefix/bin"
    user_home=$tmp/nobody
    mkdir -p "$user_home" && chown nobody "$user_home"
    as_user() { runuser -u nobody -- env HOME="$user_home" XDG_DATA_HOME= XDG_RUNTIME_DIR= "$cli" "$@"; }
    as_user add-category Breads || fail "add-category as an ordinary user"
    as_user list | grep -q '^Breads$' || fail "an ordinary user does not see the category again"
    [ -f "$user_home/.local/share/saporin/Category.cds" ] || fail "an ordinary user's tables are not in ~/.local/share/saporin"
    pass "an ordinary user's tables are in ~/.local/share/saporin"
else
    echo "note: not root or no user nobody; the ordinary-user run is left out"
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install checks passed"
