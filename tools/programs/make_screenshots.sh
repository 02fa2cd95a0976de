#!/usr/bin/env bash
# Makes the README's pictures: plays the built game to the title, level one and level two
# (pondquest_screenshots, fixed frame step, so the same build gives the same pictures) and
# writes them, scaled to 640x480 in 256 colours, into docs/screenshots/.
#   tools/programs/make_screenshots.sh [build folder, default build]
# Needs ImageMagick (convert) to scale and compress; runs under xvfb-run when there is no display.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
program="$build/tools/pondquest_screenshots"
[ -x "$program" ] || { echo "no $program: build it first (cmake --build $build --target pondquest_screenshots)" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick's convert is missing (apt-get install imagemagick)" >&2; exit 1; }

raw=$(mktemp -d)
trap 'rm -rf "$raw"' EXIT
if [ -n "${DISPLAY:-}" ]; then
    "$program" "$raw" --sequence >/dev/null
else
    xvfb-run -a -s "-screen 0 1024x768x24" "$program" "$raw" --sequence >/dev/null
fi

mkdir -p docs/screenshots
for name in title level_one_intro level_one level_two; do
    convert "$raw/$name.png" -resize 640x480 -colors 256 -strip -define png:compression-level=9 "docs/screenshots/$name.png"
    echo "docs/screenshots/$name.png $(stat -c %s "docs/screenshots/$name.png") bytes"
done
