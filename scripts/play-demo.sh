#!/usr/bin/env bash
# Builds the demo game (games/demo, in the page source form) and plays it: in
# a window when a display is there and the windowed player runs, otherwise a
# headless run that writes a screenshot, the trace and the variable dump.
# usage: play-demo.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
out="$build/demo"
mkdir -p "$out"
"$build/zunotool" game build "$root/games/demo" "$out"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    if "$build/zunoplay" "$out"; then
        exit 0
    fi
    echo "play-demo: the windowed player did not run; playing headless instead" >&2
fi
# The opening film plays for two seconds; the title screen has faded in and
# its spinner turns at frame 250; without a click the title gives way to the
# counting part after six seconds, the save menu and the choice of roads
# follow (the menu is open at frame 1050), the visual-novel scene reveals
# its first page by frame 1650, and the keepsakes' preview menu plays at 2760.
frames=2800
shot=250
"$build/zunoplay" --headless --no-logo --frames "$frames" \
    --screenshot "$shot:$out/shot.png" --screenshot "1050:$out/choice.png" \
    --screenshot "1650:$out/novel.png" --screenshot "2760:$out/keepsakes.png" \
    --trace "$out/trace.txt" --dump-vars "$out/vars.txt" --audio-dump "$out/audio.wav" "$out"
echo "demo played headless for $frames frames:"
echo "  screenshots:    $out/shot.png (the title screen at frame $shot),"
echo "                  $out/choice.png (the choice at frame 1050),"
echo "                  $out/novel.png (the visual-novel scene at frame 1650),"
echo "                  $out/keepsakes.png (the keepsakes' preview menu at frame 2760)"
echo "  trace:          $out/trace.txt"
echo "  variable dump:  $out/vars.txt"
echo "  audio:          $out/audio.wav (the music as mixed)"
cat "$out/vars.txt"
