#!/usr/bin/env bash
# Makes the README's pictures: plays the built game to the title, level one and level two
# (pondquest_screenshots, fixed frame step, so the same build gives the same pictures) and
# writes them, scaled to 640x480 in 256 colours, into docs/screenshots/; the title and every
# text screen over a plain background (pondquest_screens) go to docs/screenshots/screens/.
#   tools/programs/make_screenshots.sh [build folder, default build]
# Needs ImageMagick (convert) to scale and compress, and installs it when it is missing (Debian,
# as root or through sudo); runs under xvfb-run when there is no display.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
program="$build/tools/pondquest_screenshots"
screens="$build/tools/pondquest_screens"
for p in "$program" "$screens"; do
    [ -x "$p" ] || { echo "no $p: build it first (cmake --build $build --target $(basename "$p"))" >&2; exit 1; }
done
# ImageMagick is needed here only, so it is installed here rather than by tools/setup.sh.
if ! convert -version 2>/dev/null | grep -q '^Version: ImageMagick'; then
    echo "Installing imagemagick"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 1; }
        sudo=sudo
    fi
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends imagemagick
fi

raw=$(mktemp -d)
trap 'rm -rf "$raw"' EXIT
run() { if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1024x768x24" "$@"; fi; }
run "$program" "$raw" --sequence >/dev/null
mkdir -p "$raw/screens"
(cd "$build/game" && run "../tools/pondquest_screens" "$raw/screens" >/dev/null)

mkdir -p docs/screenshots
for name in title level_one_intro level_one level_two; do
    convert "$raw/$name.png" -resize 640x480 -colors 256 -strip -define png:compression-level=9 "docs/screenshots/$name.png"
    echo "docs/screenshots/$name.png $(stat -c %s "docs/screenshots/$name.png") bytes"
done

mkdir -p docs/screenshots/screens
for shot in "$raw"/screens/*.png; do
    out="docs/screenshots/screens/$(basename "$shot")"
    convert "$shot" -resize 640x480 -colors 256 -strip -define png:compression-level=9 "$out"
    echo "$out $(stat -c %s "$out") bytes"
done
