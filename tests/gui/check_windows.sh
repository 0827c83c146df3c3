#!/usr/bin/env bash
# Starts the real program under Xvfb with openbox and checks, as a user meets them, that the main
# window and the dialogs it opens are centred and wholly on the screen, on their first showing and
# on their second. The program runs from a copy of its own in a scratch folder, so its tables and
# its placement profile are scratch files too.
#
#   check_windows.sh PATH/TO/saporin
#
# Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing).
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

program=${1:?usage: check_windows.sh PATH/TO/saporin}
xs_require || exit $?
[ -x "$program" ] || { echo "no program at $program"; exit 1; }

failures=0
fail() { xs_log "FAIL: $*"; failures=$((failures + 1)); }
pass() { xs_log "ok: $*"; }

# Checks that the frame of window ID is centred on AREA ("X Y W H") within a pixel and lies
# wholly on the screen.
check_centred() {
    local what=$1 id=$2 ax ay aw ah fx fy fw fh sw sh
    read -r ax ay aw ah <<<"$3"
    read -r fx fy fw fh < <(xs_frame "$id")
    read -r sw sh < <(xs_screen)
    local dx=$(((2 * fx + fw) - (2 * ax + aw))) dy=$(((2 * fy + fh) - (2 * ay + ah)))
    if [ ${dx#-} -gt 2 ] || [ ${dy#-} -gt 2 ]; then
        fail "$what: frame $fx,$fy ${fw}x$fh is not centred on $ax,$ay ${aw}x$ah (off by $((dx / 2)),$((dy / 2)))"
    elif [ "$fx" -lt 0 ] || [ "$fy" -lt 0 ] || [ $((fx + fw)) -gt "$sw" ] || [ $((fy + fh)) -gt "$sh" ]; then
        fail "$what: frame $fx,$fy ${fw}x$fh is not wholly on the ${sw}x$sh screen"
    else
        pass "$what centred at $fx,$fy ${fw}x$fh"
    fi
}

xs_start 1600x1000 || exit 1
read -r screen_w screen_h < <(xs_screen)
screen="0 0 $screen_w $screen_h"

run=$XS_TMP/run
mkdir -p "$run/config"
cp "$program" "$run/saporin"
export XDG_CONFIG_HOME=$run/config HOME=$run LC_ALL=C.UTF-8 LANG=C.UTF-8
unset QT_QPA_PLATFORM

start_program() {
    xs_spawn "$run/saporin"
    app=$XS_LAST_PID
    main=$(xs_window "$app" "Brindle Office - Saporin") || { fail "the main window did not appear"; exit 1; }
}

# Points of the main window's client area, from its designed layout: the command bar is the last
# 45 pixels; the buttons sit on it at their designed places.
bar_y() { local x y w h; read -r x y w h < <(xs_client "$main"); echo $((h - 45)); }

# Shows a dialog by clicking at a point of OWNER, checks it centred on AREA, closes it by clicking
# at a point of the dialog, and waits until it has gone.
dialog_round() {
    local what=$1 owner=$2 ox=$3 oy=$4 title=$5 area=$6 cx=$7 cy=$8 id
    xs_click "$owner" "$ox" "$oy"
    id=$(xs_window "$app" "$title") || { fail "$what did not appear"; return 1; }
    check_centred "$what" "$id" "$area"
    xs_click "$id" "$cx" "$cy"
    xs_window_gone "$app" "$title" || fail "$what did not close"
}

start_program
check_centred "main window" "$main" "$screen"
main_frame=$(xs_frame "$main")
bar=$(bar_y)

# Category dialog: the first showing saves a category (which stays selected), the second cancels.
xs_click "$main" 77 $((bar + 22))
if dialog=$(xs_window "$app" "Add New Category"); then
    check_centred "category dialog" "$dialog" "$main_frame"
    xdotool type --delay 20 "Soups"
    xdotool key Return
    xs_window_gone "$app" "Add New Category" || fail "Return did not save the category"
else
    fail "the category dialog did not appear"
fi
dialog_round "category dialog, second showing" "$main" 77 $((bar + 22)) "Add New Category" "$main_frame" 556 86

# A message box (the help text), twice, centred on the screen; Return answers it.
for showing in "message box" "message box, second showing"; do
    xs_click "$main" 19 $((bar + 22))
    if box=$(xs_window "$app" "Information"); then
        check_centred "$showing" "$box" "$screen"
        xdotool key Return
        xs_window_gone "$app" "Information" || fail "Return did not close the $showing"
    else
        fail "the $showing did not appear"
    fi
done

# Search window, twice, closed by its Cancel button.
dialog_round "search window" "$main" 383 $((bar + 23)) "Search..." "$main_frame" 276 70
dialog_round "search window, second showing" "$main" 383 $((bar + 23)) "Search..." "$main_frame" 276 70

# Conversions window, twice, from the toolbar of the recipe editor (a new recipe of "Soups"); it
# closes with its Close button.
xs_click "$main" 453 $((bar + 22))
if editor=$(xs_window "$app" "Add New Recipe"); then
    read -r ex ey ew eh < <(xs_client "$editor")
    conversions_x=$(((ew - 838) / 2 + 784))   # the 25th button of the centred toolbar
    dialog_round "conversions window" "$editor" "$conversions_x" 53 "Conversions" "$main_frame" 600 554
    dialog_round "conversions window, second showing" "$editor" "$conversions_x" 53 "Conversions" "$main_frame" 600 554
    xdotool windowactivate --sync "$editor" >/dev/null 2>&1
    xs_wait xs_focused "$editor"
    xdotool key alt+F4
    xs_window_gone "$app" "Add New Recipe" || fail "the recipe editor did not close"
else
    fail "the recipe editor did not appear"
fi

# Closing the main window ends the run; the next run shows it where it was.
xdotool windowactivate --sync "$main" >/dev/null 2>&1
xs_wait xs_focused "$main"
xdotool key alt+F4
if xs_wait xs_exited "$app"; then
    start_program
    check_centred "main window, second run" "$main" "$screen"
else
    fail "the program did not end when its main window was closed"
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all windows centred and on the screen"
exit 0
