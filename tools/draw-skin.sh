#!/usr/bin/env bash
# Redraws the skin picture and the button pictures into assets/ as GIFs, and
# at twice the size as PNGs.
#   tools/draw-skin.sh [BUILD_DIR]    (default: build)
# Qt cannot write GIF, so draw-skin writes PNGs and ImageMagick converts
# them. The palette is reduced without dithering, and every GIF is checked
# to cut away exactly the pixels its PNG cuts away.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}

[ -f "$build/CMakeCache.txt" ] || cmake -S "$here" -B "$build" >/dev/null
cmake --build "$build" --target draw-skin -j2 >/dev/null
drawer="$build/tools/draw-skin"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt's offscreen platform wants a private runtime folder; the temporary one is.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}
"$drawer" "$work"

mkdir -p "$here/assets/buttons"
to_gif() {
  convert "$1" -strip -dither None -colors 256 "$2"
  "$drawer" --check "$1" "$2"
}
to_gif "$work/new2.png" "$here/assets/new2.gif"
for png in "$work"/buttons/*.png; do
  name=$(basename "$png" .png)
  case $name in *@2x) continue ;; esac
  to_gif "$png" "$here/assets/buttons/$name.gif"
done
# Twice the size, for screens of high density: kept as PNG, whose
# transparency blends the edge when the window is scaled by a fraction.
cp "$work/new2@2x.png" "$here/assets/new2@2x.png"
cp "$work"/buttons/*@2x.png "$here/assets/buttons/"
