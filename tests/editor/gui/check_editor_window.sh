#!/bin/bash
# Checks the recipe editor as a user meets it, under Xvfb with the openbox window manager:
#  - an existing recipe, opened ten times in a row, shows the editor wholly on the screen with its
#    title bar visible: frame top at the work area's top, frame height the work area's height;
#  - the character map and the emoticon picker opened from the editor are transient for it and
#    stay above it, and the main window never comes up between them;
#  - the busy notice shown while a 5 MB body loads is centred, frame included, and its animation
#    moves on the screen.
# Usage: check_editor_window.sh SAPORIN SAPORIN_CLI
# Exits 77 (skipped) when Xvfb, openbox or the X tools are missing.
set -u

saporin=${1:?usage: check_editor_window.sh SAPORIN SAPORIN_CLI}
cli=${2:?usage: check_editor_window.sh SAPORIN SAPORIN_CLI}

for tool in Xvfb openbox xdotool xwininfo xprop import awk; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (scripts/setup-debian.sh installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for ((k = ${#pids[@]} - 1; k >= 0; k--)); do
        kill "${pids[k]}" 2>/dev/null
        wait "${pids[k]}" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The program keeps its tables beside its executable: give it a copy of its own with two recipes.
mkdir -p "$work/app" "$work/home"
chmod 700 "$work/home"
cp "$saporin" "$work/app/saporin"
printf '{\\rtf1\\ansi Chop the leeks.\\par Boil them in the stock.\\par}' >"$work/body.rtf"
"$cli" add-category "$work/app" Soups >/dev/null &&
    "$cli" add-recipe "$work/app" Soups "Leek soup" --tags leek --body "$work/body.rtf" >/dev/null &&
    "$cli" add-recipe "$work/app" Soups "Pea soup" --tags peas --body "$work/body.rtf" >/dev/null &&
    awk 'BEGIN { printf "{\\rtf1\\ansi "
                 for (i = 0; i < 60000; i++)
                     printf "\\pard Stir the {\\b onions} and {\\i garlic %d} until soft, then add the stock.\\par\n", i
                 print "}" }' >"$work/big.rtf" &&
    "$cli" add-recipe "$work/app" Soups "Stock" --tags big --body "$work/big.rtf" >/dev/null ||
    { echo "FAIL: could not prepare the data directory"; exit 1; }

# A display nobody uses; Xvfb refuses one that another server took meanwhile, so try on.
display=
for n in $(seq 120 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        pids+=("$xvfb")
        break
    fi
    wait "$xvfb" 2>/dev/null
done
[ -n "$display" ] || { echo "FAIL: no free X display"; exit 1; }
export DISPLAY=$display

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/home" \
    QT_QPA_PLATFORM=xcb "$work/app/saporin" >"$work/saporin.log" 2>&1 &
app=$!
pids+=("$app")

# The id of the visible top-level window whose title is exactly $1, waiting up to 5 s.
window_named() {
    local id
    for _ in $(seq 50); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            echo "$id"
            return 0
        done
        sleep 0.1
    done
    return 1
}

# Waits until no visible window has the title $1.
wait_gone() {
    for _ in $(seq 50); do
        [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    return 1
}

# "x y width height" of a window's client area on the screen.
client_of() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width/ {w = $NF} /^ *Height/ {h = $NF} END {print x, y, w, h}'
}

# "x y width height" of a window's frame, from its client area and the frame extents that the
# window manager publishes.
frame_of() {
    local ext
    ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
    [ -n "$ext" ] || ext="0 0 0 0"
    read -r x y w h <<<"$(client_of "$1")"
    read -r l r t b <<<"$ext"
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

# The frame once the window manager has stopped moving it (two equal readings in a row).
settled_frame_of() {
    local last now
    last=$(frame_of "$1")
    for _ in $(seq 30); do
        sleep 0.1
        now=$(frame_of "$1")
        [ "$now" = "$last" ] && break
        last=$now
    done
    echo "$now"
}

click_at() { # window x y, in client coordinates
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}

# Stacking position of a window in the window manager's list, bottom first.
stack_index() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# *//p' | tr -d ',' | tr ' ' '\n' |
        grep -n -i "^$(printf '0x%x' "$1")\$" | cut -d: -f1
}

main=$(window_named "Brindle Office - Saporin") || { echo "FAIL: the main window did not show"; cat "$work/saporin.log"; exit 1; }
read -r work_x work_y work_w work_h <<<"$(xprop -root _NET_WORKAREA | sed -n 's/.*= *//p' | tr -d ',' | cut -d' ' -f1-4)"

# Opens the first recipe of the only category with the Edit/View button; prints the editor's id.
open_recipe() {
    click_at "$main" 78 66     # the category "Soups"
    click_at "$main" 400 66    # its first recipe
    click_at "$main" 552 580   # Edit/View
    window_named "Edit Recipe"
}

close_editor() { # with Cancel, at the right of the bottom band
    read -r _ _ w h <<<"$(client_of "$1")"
    click_at "$1" $((w - 120 + 37)) $((h - 168 + 132))
    wait_gone "Edit Recipe" || fail "Cancel did not close the editor"
}

for round in $(seq 10); do
    editor=$(open_recipe) || { fail "round $round: the editor did not open"; break; }
    read -r fx fy fw fh <<<"$(settled_frame_of "$editor")"
    if [ "$fy" -ne "$work_y" ] || [ "$fh" -ne "$work_h" ] || [ "$fx" -lt "$work_x" ] ||
        [ $((fx + fw)) -gt $((work_x + work_w)) ]; then
        fail "round $round: editor frame at $fx,$fy size ${fw}x$fh; work area $work_x,$work_y size ${work_w}x$work_h"
    fi
    close_editor "$editor"
done

# Windows shown from the editor: transient for it and above it, with the main window below both.
editor=$(open_recipe) || { fail "the editor did not open for the picker check"; exit 1; }
read -r _ _ w _ <<<"$(client_of "$editor")"
bar=$(((w - 838) / 2))
check_over_editor() { # title, toolbar x of the button's centre
    click_at "$editor" $((bar + $2)) 53
    local picker
    picker=$(window_named "$1") || { fail "$1 did not open from the editor"; return; }
    sleep 0.3
    local transient
    transient=$(xprop -id "$picker" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*window id # *//p')
    [ "$((transient))" -eq "$editor" ] || fail "$1 is transient for '$transient', not for the editor"
    local p e m
    p=$(stack_index "$picker"); e=$(stack_index "$editor"); m=$(stack_index "$main")
    { [ -n "$p" ] && [ -n "$e" ] && [ -n "$m" ] && [ "$m" -lt "$e" ] && [ "$e" -lt "$p" ]; } ||
        fail "$1: stacking main=$m editor=$e picker=$p (bottom first)"
    xdotool key Escape
    wait_gone "$1" || fail "$1 did not close on Escape"
    e=$(stack_index "$editor"); m=$(stack_index "$main")
    [ -n "$e" ] && [ -n "$m" ] && [ "$m" -lt "$e" ] || fail "after $1 the main window is above the editor"
}
# Toolbar buttons are 30 pixels wide with 7-pixel gaps: the character map button is the 21st
# after seven gaps, the emoticon button the next.
check_over_editor "Character Map" $((20 * 30 + 7 * 7 + 15))
check_over_editor "Emotional Icons" $((21 * 30 + 7 * 7 + 15))
close_editor "$editor"

# The busy notice while the large body loads, twice: the second showing knows its frame.
for showing in 1 2; do
    click_at "$main" 78 66
    click_at "$main" 400 66
    xdotool key End    # the last recipe, "Stock"
    sleep 0.3
    click_at "$main" 552 580
    notice=$(window_named "Loading Recipe...") || { fail "no busy notice while loading"; break; }
    read -r nx ny _ _ <<<"$(client_of "$notice")"
    read -r fx fy fw fh <<<"$(frame_of "$notice")"
    shots=()
    for k in 1 2 3; do
        [ -n "$(xdotool search --onlyvisible --name '^Loading Recipe\.\.\.$' 2>/dev/null)" ] || break
        shots+=("$(import -window root -crop 32x32+$((nx + 136))+$((ny + 24)) rgb:- 2>/dev/null | md5sum)")
        sleep 0.25
    done
    pictures=$(printf '%s\n' "${shots[@]}" | sort -u | wc -l)
    [ "${#shots[@]}" -lt 2 ] || [ "$pictures" -ge 2 ] ||
        fail "showing $showing: the busy animation did not move in ${#shots[@]} screenshots"
    if [ "$showing" -eq 2 ]; then
        dx=$((2 * fx + fw - 2 * work_x - work_w)); dy=$((2 * fy + fh - 2 * work_y - work_h))
        [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
            fail "busy notice frame at $fx,$fy size ${fw}x$fh is not centred on the work area"
    fi
    editor=$(window_named "Edit Recipe") || { fail "the editor did not open the large recipe"; break; }
    wait_gone "Loading Recipe..." || true
    close_editor "$editor"
done

kill -0 "$app" 2>/dev/null || fail "the program ended during the check"
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "PASS: editor wholly on the screen in 10 openings; pickers stay above the editor; busy notice centred and moving"
