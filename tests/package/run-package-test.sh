#!/usr/bin/env bash
# Builds the Debian package of a finished build, unpacks it into a fresh root
# and runs the programs from there: the package must hold everything an
# installation needs (programs, manual pages, desktop entry, icon, demo game),
# name a package for every library the programs load, and its player must
# play the demo with the system's libraries only.
#   run-package-test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

rm -rf "$build/package"
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/package/zunoplay_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one zunoplay_*.deb in $build/package"
deb=${debs[0]}

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/zunoplay usr/bin/zunotool \
         usr/share/man/man1/zunoplay.1.gz usr/share/man/man1/zunotool.1.gz \
         usr/share/applications/zunoplay.desktop usr/share/icons/hicolor/scalable/apps/zunoplay.svg \
         usr/share/zunoplay/demo/game.dat; do
  [ -f "$root/$f" ] || fail "the package has no $f"
done

# Every library the programs need comes from a package the .deb depends on.
depends=$(dpkg-deb -f "$deb" Depends)
has_dependency() { tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (|].*//' | grep -qx "$1"; }
for p in fonts-ipafont-gothic fonts-ipafont-mincho timgm6mb-soundfont libsdl2-2.0-0 libpng16-16 zlib1g libc6; do
  has_dependency "$p" || fail "Depends lacks $p: $depends"
done
for exe in "$root"/usr/bin/*; do
  ldd "$exe" | grep -q 'not found' && fail "$(basename "$exe") misses libraries: $(ldd "$exe" | grep 'not found')"
  for lib in $(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldd "$exe" | awk -v l="$lib" '$1 == l { print $3 }')
    [ -n "$path" ] || fail "$lib of $(basename "$exe") not resolved"
    owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -1 | cut -d: -f1) || true
    [ -z "$owner" ] && owner=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1) || true
    [ -n "$owner" ] || fail "no Debian package holds $path ($lib)"
    has_dependency "$owner" || fail "Depends lacks $owner (for $lib of $(basename "$exe")): $depends"
  done
done

# The desktop entry starts the installed player and names the installed icon.
grep -qx 'Exec=zunoplay %f' "$root/usr/share/applications/zunoplay.desktop" || fail "desktop entry: Exec"
grep -qx 'Icon=zunoplay' "$root/usr/share/applications/zunoplay.desktop" || fail "desktop entry: Icon"

# The installed programs run from the fresh root with the system's libraries.
version=$(env -u LD_LIBRARY_PATH "$root/usr/bin/zunoplay" --version)
[ "$version" = "zunoplay $(dpkg-deb -f "$deb" Version)" ] || fail "zunoplay --version said '$version'"
env -u LD_LIBRARY_PATH "$root/usr/bin/zunotool" ls "$root/usr/share/zunoplay/demo/game.dat" | grep -q 'zuno.zpb' ||
  fail "zunotool ls of the installed demo lists no zuno.zpb"
env -u LD_LIBRARY_PATH "$root/usr/bin/zunoplay" --headless --no-logo --frames 150 --screenshot "150:$work/shot.png" \
  "$root/usr/share/zunoplay/demo" 2>"$work/play.err" || { cat "$work/play.err" >&2; fail "the installed demo did not run"; }
[ -s "$work/shot.png" ] || fail "the installed demo wrote no screenshot"

# The manual pages are well-formed roff.
if command -v groff >/dev/null; then
  for page in zunoplay zunotool; do
    warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  done
fi
echo "package test: $(basename "$deb") passed"
