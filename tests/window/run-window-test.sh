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
# With "fullscreen", the click is made in full screen instead: F11 must make
# the window cover the whole screen (there is no window manager on Xvfb, so
# the player does it itself), the game must be scaled to fit it, the click on
# the scaled picture must arrive as the game pixel below it, and a second F11
# must bring the window back to its place and size.
# Every wait is bounded; the player is killed on any failure.
#
# usage: run-window-test.sh BUILD_DIR [fullscreen]
set -euo pipefail

readonly TITLE="ウィンドウ入力テスト"    # the test game's title (games/tests/window_input/zuno.zpt)
readonly GAME_W=320 GAME_H=240             # its screen size
readonly STRIP_H=22                        # height of the player's top strip (src/platform/TopStrip.h)
readonly STRIP_BUTTONS_W=134               # the two strip buttons at its left end
readonly FACE=D4D0C8 SHADOW=808080         # strip face and its bottom line
readonly CLICK_X=200 CLICK_Y=150           # the game pixel that is clicked
readonly KEY=a KEY_CODE=65                 # the key that is pressed and its virtual-key code
readonly FRAMES=6000                       # frame limit (about 60 s); the game ends itself earlier
readonly SCREEN_W=1024 SCREEN_H=768        # the Xvfb screen
readonly FS_CLICK_X=100 FS_CLICK_Y=60      # the game pixel that is clicked in full screen

fail() {
    echo "window test: FAILED: $*" >&2
    exit 1
}

# ---------------------------------------------------------------- outer part
# Builds the game and runs the inner part under xvfb-run, which picks a free
# display and stops the server when the inner part ends.
if [ -z "${ZUNO_WINDOW_TEST_INNER:-}" ]; then
    [ $# -ge 1 ] && { [ $# -eq 1 ] || [ "$2" = fullscreen ]; } \
        || { echo "usage: $0 BUILD_DIR [fullscreen]" >&2; exit 2; }
    build=$(cd "$1" && pwd)
    mode=${2:-window}
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

    # In full screen the server's own background (the old weave pattern with
    # -retro, never one colour) shows wherever the window does not cover it.
    server_args="-screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp"
    [ "$mode" = window ] || server_args="$server_args -retro"
    rc=0
    ZUNO_WINDOW_TEST_INNER=1 timeout -k 5 100 \
        xvfb-run -a -s "$server_args" bash "$0" "$build" "$work" "$mode" \
        || rc=$?
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        fail "the run under Xvfb did not end within 100 s"
    fi
    exit "$rc"
fi

# ---------------------------------------------------------------- inner part (on the Xvfb display)
build=$1
work=$2
mode=$3
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
region_colour() {   # GEOMETRY [FILE] -> "COLOUR" when the region has one colour, else "mixed"
    convert "${2:-$shot}" -crop "$1" +repage -format '%k %[hex:p{0,0}]' info: 2>/dev/null \
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

click_at() {   # SCREEN_X SCREEN_Y: moves the mouse there over the player's window and clicks
    timeout 10 xdotool mousemove --sync "$1" "$2" || fail_inner "mousemove to $1,$2 failed"
    eval "$(timeout 10 xdotool getmouselocation --shell)"
    [ "$X" -eq "$1" ] && [ "$Y" -eq "$2" ] && [ "$WINDOW" -eq "$wid" ] \
        || fail_inner "the mouse is at $X,$Y over window $WINDOW, expected $1,$2 over $wid"
    timeout 10 xdotool click 1 || fail_inner "xdotool click failed"
}
wait_geometry() {   # X Y W H: waits (at most 10 s) until the window has this place and client size
    local geometry=""
    for _ in $(seq 50); do
        geometry=$(timeout 10 xdotool getwindowgeometry --shell "$wid" 2>/dev/null \
            | awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }')
        [ "$geometry" = "$1 $2 $3 $4" ] && return 0
        kill -0 "$player" 2>/dev/null || fail_inner "the player ended while its window was resized"
        sleep 0.2
    done
    fail_inner "window at $geometry (x y width height), expected $1 $2 $3 $4"
}
press_f11() {
    timeout 10 xdotool windowfocus --sync "$wid" || fail_inner "windowfocus failed"
    timeout 10 xdotool key F11 || fail_inner "xdotool key F11 failed"
}

if [ "$mode" = window ]; then
    # The click: the mouse goes to the game pixel (CLICK_X, CLICK_Y), that is
    # below the strip, in screen coordinates from the window's position.
    click_at $((win_x + CLICK_X)) $((win_y + STRIP_H + CLICK_Y))
    expect_x=$CLICK_X
    expect_y=$CLICK_Y
else
    # Full screen: the window must cover the screen, without the strip, and
    # show the game scaled to fit, placed by the player's rule: the largest
    # size of the game's shape that fits, centred.
    if [ $((SCREEN_W * GAME_H)) -le $((SCREEN_H * GAME_W)) ]; then
        fit_w=$SCREEN_W
        fit_h=$((SCREEN_W * GAME_H / GAME_W))
    else
        fit_h=$SCREEN_H
        fit_w=$((SCREEN_H * GAME_W / GAME_H))
    fi
    fit_x=$(((SCREEN_W - fit_w) / 2))
    fit_y=$(((SCREEN_H - fit_h) / 2))
    root_shot="$work/root.png"
    timeout 10 import -window root "$root_shot" 2>/dev/null || fail_inner "import of the root window failed"
    # The server paints its weave around the window; once the window covers
    # the screen, only the game (black) and its bars (black) show.
    outside=$(region_colour "64x64+$((SCREEN_W - 64))+$((SCREEN_H - 64))" "$root_shot")
    [ "$outside" = mixed ] || fail_inner "the screen outside the window is $outside, expected the server's weave"

    press_f11
    wait_geometry 0 0 "$SCREEN_W" "$SCREEN_H"
    shot_problem=""
    for _ in $(seq 50); do
        shot_problem=""
        if ! timeout 10 import -window root "$root_shot" 2>/dev/null; then
            shot_problem="import could not take a screenshot of the root window"
        else
            screen=$(region_colour "${SCREEN_W}x${SCREEN_H}+0+0" "$root_shot")
            [ "$screen" = "000000" ] \
                || shot_problem="full screen is $screen, expected one colour 000000 (the game and its bars)"
        fi
        [ -z "$shot_problem" ] && break
        kill -0 "$player" 2>/dev/null || fail_inner "the player ended before the full-screen screenshot"
        sleep 0.2
    done
    [ -z "$shot_problem" ] || fail_inner "$shot_problem"

    # The strip shows across the whole screen while the mouse touches the top
    # edge: the picture is drawn over the whole screen, not only a corner.
    timeout 10 xdotool mousemove --sync $((SCREEN_W / 2)) 0 || fail_inner "mousemove to the top edge failed"
    for _ in $(seq 50); do
        shot_problem=""
        timeout 10 import -window root "$root_shot" 2>/dev/null || shot_problem="import of the root window failed"
        if [ -z "$shot_problem" ]; then
            strip=$(region_colour "$((SCREEN_W - STRIP_BUTTONS_W))x$((STRIP_H - 1))+${STRIP_BUTTONS_W}+0" "$root_shot")
            line=$(region_colour "${SCREEN_W}x1+0+$((STRIP_H - 1))" "$root_shot")
            below=$(region_colour "${SCREEN_W}x$((SCREEN_H - STRIP_H))+0+${STRIP_H}" "$root_shot")
            [ "$strip" = "$FACE" ] && [ "$line" = "$SHADOW" ] && [ "$below" = "000000" ] \
                || shot_problem="full-screen strip is $strip/$line above $below, expected $FACE/$SHADOW above 000000"
        fi
        [ -z "$shot_problem" ] && break
        kill -0 "$player" 2>/dev/null || fail_inner "the player ended before the strip screenshot"
        sleep 0.2
    done
    [ -z "$shot_problem" ] || fail_inner "$shot_problem"

    # The click on the scaled picture: the screen position inside the game
    # pixel (FS_CLICK_X, FS_CLICK_Y), below the strip so the strip goes.
    click_at $((fit_x + (2 * FS_CLICK_X + 1) * fit_w / (2 * GAME_W))) \
             $((fit_y + (2 * FS_CLICK_Y + 1) * fit_h / (2 * GAME_H)))
    expect_x=$FS_CLICK_X
    expect_y=$FS_CLICK_Y

    # Back to the window, at its old place and size.
    press_f11
    wait_geometry "$win_x" "$win_y" "$GAME_W" $((GAME_H + STRIP_H))
fi

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
[ "$(var clickX)" = "$expect_x" ] && [ "$(var clickY)" = "$expect_y" ] \
    || fail_inner "click at game pixel $(var clickX),$(var clickY), expected $expect_x,$expect_y"
[ "$(var keys)" -ge 1 ] 2>/dev/null || fail_inner "the key did not reach the game (keys = '$(var keys)')"
[ "$(var lastKey)" = "$KEY_CODE" ] || fail_inner "key code $(var lastKey), expected $KEY_CODE ('$KEY')"

echo "window test: passed ($mode, window ${GAME_W}x$((GAME_H + STRIP_H)), click $expect_x,$expect_y, key $KEY_CODE)"
