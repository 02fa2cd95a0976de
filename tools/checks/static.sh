#!/usr/bin/env bash
# The static checks of the test command, all of which must be clean:
#   - clang-format --dry-run -Werror over every C++ file of the tree;
#   - clang-tidy (.clang-tidy) over the game's sources, each file's result cached in
#     build-clang/tidy-cache while the file and the headers it reaches are unchanged;
#   - cppcheck over the game's sources (warning, performance, portability);
#   - the layer check (tools/checks/layers.sh);
#   - a clang build of the game and its tools with -Werror in build-clang.
# Prints each step's time. Exit status 1 on any finding.
#   tools/checks/static.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
jobs=$(nproc 2>/dev/null || echo 2)
build=build-clang
game_folders=(app scene world objects overlay sound textures platform)
failed=()

step_started=0
step() { echo "== static: $1"; step_started=$(date +%s%N); }
took() {
    local ms=$(( ($(date +%s%N) - step_started) / 1000000 ))
    printf '   %s in %d.%d s\n' "$1" $((ms / 1000)) $((ms % 1000 / 100))
}

mapfile -t all_sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | grep -v '^./build')
# The Windows variants (windows/ subfolders) are not in this Linux compile database; the
# cross build checks them with -Werror.
mapfile -t game_sources < <(find "${game_folders[@]}" -name '*.cpp' -not -path '*/windows/*' | sort)

step "clang-format"
if clang-format --dry-run -Werror "${all_sources[@]}"; then took "clean"; else failed+=(clang-format); fi

step "layers"
if tools/checks/layers.sh >/dev/null; then took "clean"; else failed+=(layers); fi

# One configuration for clang-tidy's compile database and the clang build.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPONDQUEST_TESTS=OFF \
    -DPONDQUEST_WERROR=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${launcher[@]}" >/dev/null

step "clang-tidy"
if python3 tools/checks/tidy_cached.py "$build" "$build/tidy-cache" "$jobs" "${game_sources[@]}"; then
    took "clean"
else
    failed+=(clang-tidy)
fi

step "cppcheck"
mkdir -p "$build/cppcheck"
if cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++17 --language=c++ \
    --enable=warning,performance,portability --suppress=missingIncludeSystem \
    --cppcheck-build-dir="$build/cppcheck" -j "$jobs" -I . "${game_sources[@]}"; then
    took "clean"
else
    failed+=(cppcheck)
fi

step "clang build with -Werror"
if cmake --build "$build" -j"$jobs" >"$build/build.log" 2>&1; then
    took "clean"
else
    grep -E 'error|warning' "$build/build.log" | head -50
    failed+=(clang-build)
fi

if [ ${#failed[@]} -gt 0 ]; then
    echo "static: failed: ${failed[*]}" >&2
    exit 1
fi
echo "static: clean"
