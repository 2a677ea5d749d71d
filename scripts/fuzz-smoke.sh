#!/usr/bin/env bash
# Runs every fuzz target of a fuzzing build for a short time.
# usage: fuzz-smoke.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
seconds=${2:-30}
[ -n "$seconds" ] || seconds=30
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
failed=()
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  work=$(mktemp -d)
  # Seeds checked into fuzz/corpus/NAME are copied so the run never writes into the tree.
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -r "$root/fuzz/corpus/$name/." "$work/"; fi
  echo "== fuzz $name (${seconds}s)"
  if ! (cd "$work" && "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=0 . 2>"$work.log"); then
    tail -n 60 "$work.log"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* . 2>/dev/null || true
    # A small failing input is printed so that a CI log alone reproduces it.
    for input in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
      [ -f "$input" ] && [ "$(stat -c %s "$input")" -le 4096 ] && { echo "input $(basename "$input") (base64):"; base64 -w0 "$input"; echo; }
    done
    failed+=("$name: $(grep -m1 -E 'ERROR|SUMMARY|timeout|out-of-memory' "$work.log" || echo 'exit status non-zero')")
    status=1
  else
    grep -E '^#[0-9]+.*DONE' "$work.log" | tail -n 1 || true
  fi
  rm -rf "$work" "$work.log"
done
# The failures again at the end, where a shortened log still shows them.
for line in "${failed[@]}"; do echo "FUZZ FAILED $line"; done
exit $status
