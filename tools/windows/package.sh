#!/usr/bin/env bash
# Builds pondquest.exe for 64-bit Windows and packs pondquest-<version>-win64.zip: the program,
# every DLL it loads that Windows does not have, the pictures, songs and effects (made by the
# native build's own generators on this machine), a font, the licences and a README.
#   tools/windows/package.sh [build folder, default build-win64]
# Run by `tools/setup.sh windows`, which installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
out=${1:-build-win64}
jobs=${PONDQUEST_JOBS:-$(nproc 2>/dev/null || echo 2)}
mingw=x86_64-w64-mingw32
say() { echo "windows: $*"; }
started=$(date +%s)

prefix=$(tools/windows/libraries.sh | tail -1)
[ -e "$prefix/.built" ] || { say "the libraries did not build"; exit 1; }
libraries_done=$(date +%s)

# The assets come from the native generators (they are the same bytes on every platform).
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target assets
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DPONDQUEST_WIN64_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"$jobs" --target pondquest
assets=$(grep -oE '[A-Za-z0-9_]+\.(tga|mid|wav|bmp)' tools/Assets.cmake | sort -u)
for f in $assets; do cp "build/game/$f" "$out/game/"; done

version=$(sed -nE 's/^project\(Pondquest[^)]*VERSION ([0-9][0-9.]*).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || version=$(git describe --tags --always --dirty 2>/dev/null || echo unversioned)
name=pondquest-$version-win64
stage=$out/$name
rm -rf "$out"/pondquest-*-win64 "$out"/pondquest-*-win64.zip  # earlier versions too
mkdir -p "$stage/licences"
cp "$out/game/pondquest.exe" "$stage/"
${mingw}-strip "$stage/pondquest.exe"
for f in $assets; do cp "$out/game/$f" "$stage/"; done
cp /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf "$stage/"

# Every DLL the program loads, directly or through another DLL, that is not part of Windows.
runtime=$(dirname "$(${mingw}-g++-posix -print-file-name=libstdc++-6.dll)")  # the compiler's own DLLs
search=("$prefix/bin" "$runtime" "/usr/$mingw/lib" "/usr/$mingw/bin")
imports() { ${mingw}-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
queue=("$stage/pondquest.exe")
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $(imports "$file"); do
        [ -e "$stage/$dll" ] && continue
        found=""
        for dir in "${search[@]}"; do
            [ -e "$dir/$dll" ] && { found=$dir/$dll; break; }
        done
        [ -n "$found" ] || continue  # a Windows DLL (kernel32, opengl32, ...)
        cp "$found" "$stage/"
        ${mingw}-strip --strip-unneeded "$stage/$dll"
        queue+=("$stage/$dll")
    done
done
for needed in SDL2.dll SDL2_mixer.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ -e "$stage/$needed" ] || { say "$needed was not found among the program's DLLs"; exit 1; }
done
ls "$stage"/libfreetype*.dll >/dev/null || { say "no FreeType DLL"; exit 1; }

cp "$prefix"/licences/* "$stage/licences/"
cp /usr/share/doc/fonts-liberation/copyright "$stage/licences/LiberationFonts.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime-libstdc++-libgcc.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64-winpthreads.txt"
sed "s/@VERSION@/$version/" tools/windows/README.txt >"$stage/README.txt"
for f in "$stage/README.txt" "$stage"/licences/*.txt; do sed -i 's/$/\r/' "$f"; done

(cd "$out" && zip -qr9 "$name.zip" "$name")
done_at=$(date +%s)
say "libraries ready in $((libraries_done - started)) s, everything in $((done_at - started)) s"
say "$out/$name.zip: $(stat -c %s "$out/$name.zip") bytes, $(cd "$stage" && ls | wc -l) entries at its top"
