#!/usr/bin/env bash
# Window test of the player: the test game games/tests/window_input is built,
# zunoplay plays it in a real SDL window on a virtual X server (Xvfb), and
# xdotool sends a mouse click and a key press to the window. The test checks
#   - the window found by its (UTF-8) title has the client size of the game
#     plus the top strip,
#   - a screenshot of the window shows the strip above and the game picture
#     below it, each where and as large as expected,
#   - the click arrives at the game as the game pixel it was aimed at, and the
#     key arrives as its virtual-key code (read from the variable dump).
# Every wait is bounded; the player is killed on any failure.
#
# usage: run-window-test.sh BUILD_DIR
set -euo pipefail

readonly TITLE="ウィンドウ入力テスト"    # the test game's title (games/tests/window_input/zuno.zpt)
readonly GAME_W=320 GAME_H=240             # its screen size
readonly STRIP_H=22                        # height of the player's top strip (src/platform/TopStrip.h)
readonly STRIP_BUTTONS_W=134               # the two strip buttons at its left end
readonly FACE=D4D0C8 SHADOW=808080         # strip face and its bottom line
readonly CLICK_X=200 CLICK_Y=150           # the game pixel that is clicked
readonly KEY=a KEY_CODE=65                 # the key that is pressed and its virtual-key code
readonly FRAMES=6000                       # frame limit (about 60 s); the game ends itself earlier

fail() {
    echo "window test: FAILED: $*" >&2
    exit 1
}

# ---------------------------------------------------------------- outer part
# Builds the game and runs the inner part under xvfb-run, which picks a free
# display and stops the server when the inner part ends.
if [ -z "${ZUNO_WINDOW_TEST_INNER:-}" ]; then
    [ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
    build=$(cd "$1" && pwd)
    root=$(cd "$(dirname "$0")/../.." && pwd)
    for tool in xvfb-run xdotool import convert identify timeout; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
    done
    [ -x "$build/zunotool" ] && [ -x "$build/zunoplay" ] || fail "build zunotool and zunoplay in $build first"

    work=$(mktemp -d "${TMPDIR:-/tmp}/zuno-window-test.XXXXXX")
    cleanup() { if [ -n "${KEEP_WINDOW_TEST:-}" ]; then echo "window test: files kept in $work" >&2; else rm -rf "$work"; fi; }
    trap cleanup EXIT

    timeout 60 "$build/zunotool" game build "$root/games/tests/window_input" "$work/game" >/dev/null \
        || fail "zunotool game build of games/tests/window_input failed"

    rc=0
    ZUNO_WINDOW_TEST_INNER=1 timeout -k 5 100 \
        xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$build" "$work" || rc=$?
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        fail "the run under Xvfb did not end within 100 s"
    fi
    exit "$rc"
fi

# ---------------------------------------------------------------- inner part (on the Xvfb display)
build=$1
work=$2
export LC_ALL=C.UTF-8
export SDL_VIDEODRIVER=x11
export XDG_CONFIG_HOME="$work/config"      # no settings of the user's own player
vars="$work/vars.txt"
log="$work/player.log"
shot="$work/shot.png"

# The player: windowed, with the frame limit as a last stop. In a window,
# LeakSanitizer reports blocks that libdbus and the libraries SDL loads at run
# time (GL, X11 extensions) keep until exit; they are not ours and cannot be
# freed from here, so leak detection is off for the player only. Every other
# check of the sanitizers stays on, and the headless tests keep leak checks.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    timeout -k 5 90 "$build/zunoplay" --no-logo --frames "$FRAMES" --dump-vars "$vars" "$work/game/game.dat" \
    >"$log" 2>&1 &
player=$!

stop_player() {
    if kill -0 "$player" 2>/dev/null; then
        kill -TERM "$player" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$player" 2>/dev/null || true
    fi
    wait "$player" 2>/dev/null || true
}
fail_inner() {
    stop_player
    echo "window test: FAILED: $*" >&2
    if [ -s "$log" ]; then
        echo "--- player output:" >&2
        cat "$log" >&2
    fi
    if [ -s "$vars" ]; then
        echo "--- variable dump:" >&2
        cat "$vars" >&2
    fi
    exit 1
}
trap 'fail_inner "interrupted"' INT TERM

# The window, by its title. xdotool matches --name patterns against the raw
# WM_NAME, which X keeps in compound text for a Japanese title, so the visible
# windows are listed and their names (decoded to UTF-8) compared instead.
wid=""
for _ in $(seq 150); do
    for w in $(timeout 5 xdotool search --onlyvisible --name . 2>/dev/null || true); do
        if [ "$(timeout 5 xdotool getwindowname "$w" 2>/dev/null || true)" = "$TITLE" ]; then
            wid=$w
            break 2
        fi
    done
    kill -0 "$player" 2>/dev/null || break
    sleep 0.2
done
[ -n "$wid" ] || fail_inner "no window titled '$TITLE' appeared within 30 s"
kill -0 "$player" 2>/dev/null || fail_inner "the player ended before its window could be used"

# Its client size: the game at 1x below the strip.
eval "$(timeout 10 xdotool getwindowgeometry --shell "$wid")" || fail_inner "getwindowgeometry failed"
[ "$WIDTH" -eq "$GAME_W" ] && [ "$HEIGHT" -eq $((GAME_H + STRIP_H)) ] \
    || fail_inner "window client size ${WIDTH}x${HEIGHT}, expected ${GAME_W}x$((GAME_H + STRIP_H))"
win_x=$X
win_y=$Y

# The screenshot: the strip's face right of its buttons, its shadow line, and
# the game picture (black: the screen's default background) filling the rest.
# The first frame may not be on the screen yet when the window maps, so the
# picture is taken again until it is right (at most 10 s).
region_colour() {   # GEOMETRY -> "COLOUR" when the region has one colour, else "mixed"
    convert "$shot" -crop "$1" +repage -format '%k %[hex:p{0,0}]' info: 2>/dev/null \
        | awk '{ print ($1 == 1) ? substr($2, 1, 6) : "mixed" }'
}
shot_problem=""
for _ in $(seq 50); do
    shot_problem=""
    if ! timeout 10 import -window "$wid" "$shot" 2>/dev/null; then
        shot_problem="import could not take a screenshot of the window"
    else
        size=$(identify -format '%wx%h' "$shot")
        strip=$(region_colour "$((GAME_W - STRIP_BUTTONS_W))x$((STRIP_H - 1))+${STRIP_BUTTONS_W}+0")
        line=$(region_colour "${GAME_W}x1+0+$((STRIP_H - 1))")
        game=$(region_colour "${GAME_W}x${GAME_H}+0+${STRIP_H}")
        if [ "$size" != "${GAME_W}x$((GAME_H + STRIP_H))" ]; then
            shot_problem="screenshot is $size, expected ${GAME_W}x$((GAME_H + STRIP_H))"
        elif [ "$strip" != "$FACE" ] || [ "$line" != "$SHADOW" ]; then
            shot_problem="strip rows 0-$((STRIP_H - 1)) are $strip/$line, expected $FACE/$SHADOW"
        elif [ "$game" != "000000" ]; then
            shot_problem="game area ${GAME_W}x${GAME_H}+0+${STRIP_H} is $game, expected one colour 000000"
        fi
    fi
    [ -z "$shot_problem" ] && break
    kill -0 "$player" 2>/dev/null || fail_inner "the player ended before the screenshot"
    sleep 0.2
done
[ -z "$shot_problem" ] || fail_inner "$shot_problem"

# The click: the mouse goes to the game pixel (CLICK_X, CLICK_Y), that is
# below the strip, in screen coordinates from the window's position.
abs_x=$((win_x + CLICK_X))
abs_y=$((win_y + STRIP_H + CLICK_Y))
timeout 10 xdotool mousemove --sync "$abs_x" "$abs_y" || fail_inner "mousemove to $abs_x,$abs_y failed"
eval "$(timeout 10 xdotool getmouselocation --shell)"
[ "$X" -eq "$abs_x" ] && [ "$Y" -eq "$abs_y" ] && [ "$WINDOW" -eq "$wid" ] \
    || fail_inner "the mouse is at $X,$Y over window $WINDOW, expected $abs_x,$abs_y over $wid"
timeout 10 xdotool click 1 || fail_inner "xdotool click failed"

# The key: to the window with the keyboard focus (there is no window manager
# to give it the focus, so the test does).
timeout 10 xdotool windowfocus --sync "$wid" || fail_inner "windowfocus failed"
timeout 10 xdotool key "$KEY" || fail_inner "xdotool key failed"

# The game ends itself a few frames after it has seen both.
for _ in $(seq 150); do
    kill -0 "$player" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$player" 2>/dev/null; then
    # The close request makes the player write the dump; it shows what arrived.
    stop_player
    fail_inner "the game did not end within 30 s after the click and the key (input not received?)"
fi
status=0
wait "$player" || status=$?
[ "$status" -eq 0 ] || fail_inner "zunoplay exited with status $status"
[ -s "$vars" ] || fail_inner "zunoplay wrote no variable dump"
! grep -q -e 'runtime error:' -e 'ERROR: AddressSanitizer' "$log" || fail_inner "the sanitizers reported an error"

var() { awk -F'\t' -v n="$1" '$1 == n { print $3 }' "$vars"; }
[ "$(var clicks)" -ge 1 ] 2>/dev/null || fail_inner "the click did not reach the game (clicks = '$(var clicks)')"
[ "$(var clickX)" = "$CLICK_X" ] && [ "$(var clickY)" = "$CLICK_Y" ] \
    || fail_inner "click at game pixel $(var clickX),$(var clickY), expected $CLICK_X,$CLICK_Y"
[ "$(var keys)" -ge 1 ] 2>/dev/null || fail_inner "the key did not reach the game (keys = '$(var keys)')"
[ "$(var lastKey)" = "$KEY_CODE" ] || fail_inner "key code $(var lastKey), expected $KEY_CODE ('$KEY')"

echo "window test: passed (window ${WIDTH}x${HEIGHT}, click $CLICK_X,$CLICK_Y, key $KEY_CODE)"
