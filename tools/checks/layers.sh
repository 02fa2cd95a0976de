#!/usr/bin/env bash
# Checks the game's folders against their layers:
#   - a folder includes only folders below it, so no two folders include each other;
#   - SDL, SDL_mixer, FluidSynth, FreeType and fontconfig headers are reached, directly or through the
#     project's own headers, only from the platform folders.
# Prints the include graph between folders. Exit status 1 on any breach.
#   tools/checks/layers.sh [source-root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"

# Top to bottom; a folder may include only folders that come later in this list.
layers=(app world objects overlay sound scene textures platform)
platform_folders=" app sound platform "
system_pattern='^#[[:space:]]*include[[:space:]]*[<"](SDL[^>"]*|SDL2/[^>"]*|ft2build\.h|freetype/[^>"]*|fontconfig/[^>"]*|fluidsynth\.h|fluidsynth/[^>"]*)[>"]|^#[[:space:]]*include[[:space:]]+FT_'

rank() {
    local i
    for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}

files=()
for dir in "${layers[@]}"; do
    [ -d "$dir" ] || continue
    while IFS= read -r f; do files+=("$f"); done < <(find "$dir" -name '*.h' -o -name '*.cpp' | sort)
done

# Project includes of a file: paths like "world/CGameWorld.h".
project_includes() { sed -nE 's/^#[[:space:]]*include[[:space:]]*"([a-z]+\/[^"]+)".*/\1/p' "$1"; }

declare -A direct_system  # file -> 1 when it includes a platform library header itself
declare -A reaches        # header -> 1 when it reaches one through project headers
for f in "${files[@]}"; do
    grep -qE "$system_pattern" "$f" && direct_system[$f]=1 || true
done

# Headers reaching a platform library header, to a fixed point.
changed=1
while [ $changed = 1 ]; do
    changed=0
    for f in "${files[@]}"; do
        [ -n "${reaches[$f]:-}" ] && continue
        if [ -n "${direct_system[$f]:-}" ]; then reaches[$f]=1; changed=1; continue; fi
        while IFS= read -r inc; do
            if [ -n "${reaches[$inc]:-}" ]; then reaches[$f]=1; changed=1; break; fi
        done < <(project_includes "$f")
    done
done

failures=0
declare -A edges
for f in "${files[@]}"; do
    from=${f%%/*}
    while IFS= read -r inc; do
        to=${inc%%/*}
        if [ ! -f "$inc" ]; then
            echo "layers: $f includes $inc, which is not in the tree" >&2
            failures=$((failures + 1))
            continue
        fi
        [ "$to" = "$from" ] && continue
        edges["$from -> $to"]=$(( ${edges["$from -> $to"]:-0} + 1 ))
        if [ "$(rank "$to")" -le "$(rank "$from")" ]; then
            echo "layers: $f includes $inc: $from may not include $to (layers: ${layers[*]})" >&2
            failures=$((failures + 1))
        fi
    done < <(project_includes "$f")
    if [[ "$platform_folders" != *" $from "* ]] && [ -n "${reaches[$f]:-}" ]; then
        echo "layers: $f reaches SDL, SDL_mixer, FreeType or fontconfig headers; only the platform folders (${platform_folders:1:-1}) may" >&2
        failures=$((failures + 1))
    fi
done

echo "Include graph between folders (files including):"
for e in "${!edges[@]}"; do printf '  %-22s %3d\n' "$e" "${edges[$e]}"; done | sort
if [ $failures -gt 0 ]; then
    echo "layers: $failures breach(es)" >&2
    exit 1
fi
echo "layers: clean"
