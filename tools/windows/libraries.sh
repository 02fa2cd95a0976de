#!/usr/bin/env bash
# Builds SDL2, SDL2_mixer and FreeType for 64-bit Windows from Debian 12's own source packages,
# with the project's MinGW-w64 toolchain file, into a cache folder outside the clone:
#   ${PONDQUEST_CACHE:-~/.cache/pondquest}/win64-<hash>
# The hash covers the source versions, the toolchain file and this script, so a second run on the
# same machine finds the libraries built and does nothing. Prints the folder on its last line.
#   tools/windows/libraries.sh
# apt is given a sources file and lists folder of this script's own (-o Dir::...), so the
# system's apt configuration and lists are never touched, and nothing needs root here.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${PONDQUEST_CACHE:-$HOME/.cache/pondquest}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=${PONDQUEST_JOBS:-$(nproc 2>/dev/null || echo 2)}
say() { echo "windows libraries: $*" >&2; }

# --- apt, on its own sources (Debian 12 and its updates) ---
aptdir=$cache/apt
mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial" "$aptdir/parts"
cat >"$aptdir/sources.list" <<'EOF'
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
EOF
apt_options=(-o "Dir::Etc::SourceList=$aptdir/sources.list" -o "Dir::Etc::SourceParts=$aptdir/parts"
    -o "Dir::State::Lists=$aptdir/lists" -o "Dir::Cache=$aptdir/cache"
    -o "Dir::State::Status=/var/lib/dpkg/status" -o "APT::Sandbox::User=$(id -un)")
# The source lists are refreshed once a week; between refreshes the versions, and so the
# cache folder, stay the same.
stamp=$aptdir/lists/.fetched
if [ ! -e "$stamp" ] || [ -n "$(find "$stamp" -mmin +10080)" ]; then
    say "fetching Debian 12's source lists"
    apt-get "${apt_options[@]}" -qq update >&2
    touch "$stamp"
fi

packages=(libsdl2 libsdl2-mixer freetype)
versions=()
for p in "${packages[@]}"; do
    v=$(apt-cache "${apt_options[@]}" showsrc "$p" 2>/dev/null |
        awk '/^Version:/ {print $2}' | sort -V | tail -1)
    [ -n "$v" ] || { say "no source package $p in Debian 12's lists"; exit 1; }
    versions+=("$p=$v")
done
key=$( { printf '%s\n' "${versions[@]}"; cat "$toolchain" "$0"; } | sha256sum | cut -c1-16)
prefix=$cache/win64-$key
if [ -e "$prefix/.built" ]; then
    say "cached in $prefix (${versions[*]})"
    echo "$prefix"
    exit 0
fi

started=$(date +%s)
work=$cache/work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/licences"
say "building ${versions[*]} into $prefix"
(cd "$work" && apt-get "${apt_options[@]}" -qq source "${versions[@]}" >&2)

build() {  # build <source dir> [cmake options...]
    local src=$1; shift
    cmake -S "$src" -B "$src/build-win64" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DPONDQUEST_WIN64_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefix" "$@" >"$src/build-win64.log" 2>&1 ||
        { tail -30 "$src/build-win64.log" >&2; exit 1; }
    cmake --build "$src/build-win64" -j"$jobs" >>"$src/build-win64.log" 2>&1 &&
        cmake --install "$src/build-win64" >>"$src/build-win64.log" 2>&1 ||
        { tail -30 "$src/build-win64.log" >&2; exit 1; }
}
source_dir() { find "$work" -maxdepth 1 -type d -name "$1-[0-9]*" | head -1; }

sdl=$(source_dir libsdl2)
build "$sdl" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF
cp "$sdl/LICENSE.txt" "$prefix/licences/SDL2.txt"

mixer=$(source_dir libsdl2-mixer)
# Songs through Windows' own General MIDI synthesizer, effects as WAV; nothing else.
build "$mixer" -DBUILD_SHARED_LIBS=ON -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF \
    -DSDL2MIXER_MIDI=ON -DSDL2MIXER_MIDI_NATIVE=ON -DSDL2MIXER_MIDI_FLUIDSYNTH=OFF \
    -DSDL2MIXER_MIDI_TIMIDITY=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF \
    -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_WAVPACK=OFF
cp "$mixer/LICENSE.txt" "$prefix/licences/SDL2_mixer.txt"

freetype=$(source_dir freetype)
build "$freetype" -DBUILD_SHARED_LIBS=ON -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
    -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
cp "$freetype/docs/FTL.TXT" "$prefix/licences/FreeType.txt"

for d in "$sdl" "$mixer" "$freetype"; do
    name=$(basename "$d")
    cp "$d/debian/copyright" "$prefix/licences/debian-copyright-${name%%-[0-9]*}.txt"
done
printf '%s\n' "${versions[@]}" >"$prefix/versions.txt"
touch "$prefix/.built"
rm -rf "$work"
say "built in $(( $(date +%s) - started )) s"
echo "$prefix"
