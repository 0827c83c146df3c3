# A private X session for GUI checks: Xvfb on a display number chosen at run time, with openbox as
# window manager, plus helpers that find windows and read their client and frame rectangles.
# Source it from a bash script:
#
#   . "$(dirname "$0")/xsession.sh"
#   xs_require || exit $?          # 77 (skipped), with a message, when a tool is missing
#   xs_start 1600x1000 || exit 1   # exports DISPLAY; xs_stop runs on exit
#   xs_spawn ./saporin             # a process of the session, ended by xs_stop
#
# Every process started here is remembered by its process id and ended by xs_stop, which an EXIT
# trap runs. Keys and clicks go through XTEST (xdotool key, xdotool click), as from a real keyboard
# and mouse; `xdotool key --window` sends synthetic events and is not used.

XS_PIDS=()
XS_TMP=""
XS_WATCHDOG=""
XS_TIMEOUT=${XS_TIMEOUT:-15}   # seconds any wait may take

xs_log() { echo "gui [$SECONDS s]: $*" >&2; }

# Returns 77 (the skip code) with a message when a tool of the session is missing.
xs_require() {
    local missing=()
    for tool in Xvfb openbox xdotool xwininfo xprop "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "SKIPPED: missing ${missing[*]} (scripts/setup-debian.sh installs them)"
        return 77
    fi
}

# Polls a command until it succeeds or XS_TIMEOUT seconds have passed.
xs_wait() {
    local deadline=$((SECONDS + XS_TIMEOUT))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

# Starts Xvfb on a free display (the server picks it) and openbox on it; exports DISPLAY.
xs_start() {
    local size=${1:-1600x1000}
    XS_TMP=$(mktemp -d "${TMPDIR:-/tmp}/xsession.XXXXXX")
    trap xs_stop EXIT
    trap 'exit 130' INT TERM
    # Should this script be killed outright, a watchdog ends what it started.
    local owner=$$
    ( trap '' INT TERM
      while kill -0 "$owner" 2>/dev/null; do sleep 1; done
      [ -f "$XS_TMP/pids" ] && kill $(cat "$XS_TMP/pids") 2>/dev/null
      rm -rf "$XS_TMP" ) >/dev/null 2>&1 &
    XS_WATCHDOG=$!
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$XS_TMP/display" >"$XS_TMP/xvfb.log" 2>&1 &
    xs_remember $!
    if ! xs_wait test -s "$XS_TMP/display"; then
        xs_log "Xvfb did not start:"; cat "$XS_TMP/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(tr -dc 0-9 <"$XS_TMP/display")"
    openbox --sm-disable >"$XS_TMP/openbox.log" 2>&1 &
    xs_remember $!
    if ! xs_wait xs_wm_ready; then
        xs_log "openbox did not start:"; cat "$XS_TMP/openbox.log" >&2
        return 1
    fi
    xs_log "X session on $DISPLAY ($size) with openbox"
}

xs_remember() {
    XS_PIDS+=("$1")
    echo "$1" >>"$XS_TMP/pids"
}

xs_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# Starts a program inside the session; its output goes to $XS_TMP/NAME.log. Sets XS_LAST_PID.
xs_spawn() {
    "$@" >"$XS_TMP/$(basename "$1").log" 2>&1 &
    XS_LAST_PID=$!
    xs_remember $XS_LAST_PID
}

# Ends a process started by xs_spawn, waiting for it at most XS_TIMEOUT seconds.
xs_end() {
    local pid=$1
    kill "$pid" 2>/dev/null || return 0
    local deadline=$((SECONDS + XS_TIMEOUT))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# Ends every process of the session, newest first, and removes its files.
xs_stop() {
    local i
    for ((i = ${#XS_PIDS[@]} - 1; i >= 0; i--)); do
        xs_end "${XS_PIDS[$i]}"
    done
    XS_PIDS=()
    if [ -n "$XS_WATCHDOG" ]; then
        kill -9 "$XS_WATCHDOG" 2>/dev/null   # it ignores the polite signals
        wait "$XS_WATCHDOG" 2>/dev/null
        XS_WATCHDOG=""
    fi
    [ -n "$XS_TMP" ] && rm -rf "$XS_TMP"
    XS_TMP=""
}

# The id of the visible window of process PID whose title is exactly TITLE, once it exists.
xs_window() {
    local pid=$1 title=$2 id
    local deadline=$((SECONDS + XS_TIMEOUT))
    while [ $SECONDS -lt $deadline ]; do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$title" ] && xs_frame_known "$id"; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    xs_log "no window \"$title\" appeared"
    return 1
}

# Succeeds once no visible window of PID has the title TITLE.
xs_window_gone() {
    local pid=$1 title=$2
    local deadline=$((SECONDS + XS_TIMEOUT)) id found
    while [ $SECONDS -lt $deadline ]; do
        found=0
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$title" ] && found=1
        done
        [ $found -eq 0 ] && return 0
        sleep 0.1
    done
    xs_log "window \"$title\" is still shown"
    return 1
}

# Succeeds once process PID (started by xs_spawn) has ended.
xs_exited() {
    ! kill -0 "$1" 2>/dev/null || [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" = Z ]
}

xs_frame_known() { xprop -id "$1" _NET_FRAME_EXTENTS | grep -q '='; }

# "X Y W H" of a window's client area on the screen.
xs_client() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                             /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}

# "X Y W H" of a window with the frame the window manager put around it.
xs_frame() {
    local x y w h l r t b
    read -r x y w h < <(xs_client "$1")
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,/ /g')
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

# "W H" of the screen.
xs_screen() { xdotool getdisplaygeometry; }

# Clicks with the left button at a point of a window's client area.
xs_click() {
    local x y w h
    read -r x y w h < <(xs_client "$1")
    # No --sync: it waits for a motion that never comes when the pointer is there already. The
    # server handles XTEST events in order, so the click lands where the pointer went.
    xdotool mousemove $((x + $2)) $((y + $3)) click 1
}

# Waits until window ID has the keyboard focus (after xdotool windowactivate, for instance).
xs_focused() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
