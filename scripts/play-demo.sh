#!/usr/bin/env bash
# Builds a sample archive from games/demo and lists it with zunotool.
# usage: play-demo.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
out="$build/demo"
mkdir -p "$out"
"$build/zunotool" pack "$root/games/demo" "$out/game.dat"
"$build/zunotool" ls "$out/game.dat"
