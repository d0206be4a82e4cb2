#!/usr/bin/env bash
# Times morvo-render over a batch of real pictures: copies of the sample
# cards and of the pictures in ../shared/corpus (when it is there), a few
# hundred in a temporary directory, rendered to PNG in one run; then 10,000
# inputs in one run (links to those copies), where any work that grows with
# the square of the inputs shows as a lower rate.
#   bench/render_batch.sh [COUNT] [MORVO-RENDER]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
count="${1:-400}"
render="${2:-$here/build/bin/morvo-render}"
large=10000

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/many"

sources=("$here"/samples/*.hgr "$here"/samples/*.dgr)
corpus="$here/../shared/corpus"
if [ -d "$corpus" ]; then
    while IFS= read -r -d '' f; do
        sources+=("$f")
    done < <(find "$corpus" -type f \( -iname '*.hgr' -o -iname '*.dhgr' -o -iname '*.dgr' \) \
                  ! -iname '*.aux' -print0 | sort -z)
fi

copies=()
for ((i = 0; i < count; ++i)); do
    src="${sources[i % ${#sources[@]}]}"
    copies+=("$work/in/$(printf '%05d' "$i")_$(basename "$src")")
    cp "$src" "${copies[i]}"
done

# morvo-render with the inputs in the folder given, PNGs to a folder of
# their own; prints the time.
time_batch() {  # label input-folder
    rm -rf "$work/out"
    local start end made
    start=$(date +%s.%N)
    "$render" "$2"/* -o "$work/out/" >/dev/null
    end=$(date +%s.%N)
    made=$(find "$work/out" -name '*.png' | wc -l)
    awk -v label="$1" -v n="$made" -v a="$start" -v b="$end" -v cores="$(nproc)" 'BEGIN {
        t = b - a
        printf "morvo-render, %s: %d pictures to PNG in %.3f s, %.0f pictures/s (%d cores)\n", label, n, t, n / t, cores
    }'
}

time_batch "$count inputs" "$work/in"

for ((i = 0; i < large; ++i)); do
    copy="${copies[i % count]}"
    ln "$copy" "$work/many/$(printf '%05d' "$i")_$(basename "$copy")"
done
time_batch "$large inputs" "$work/many"
