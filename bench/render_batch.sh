#!/usr/bin/env bash
# Times morvo-render over a batch of real pictures: copies of the sample
# cards and of the pictures in ../shared/corpus (when it is there), a few
# hundred in a temporary directory, rendered to PNG in one run.
#   bench/render_batch.sh [COUNT] [MORVO-RENDER]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
count="${1:-400}"
render="${2:-$here/build/bin/morvo-render}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/out"

sources=("$here"/samples/*.hgr "$here"/samples/*.dgr)
corpus="$here/../shared/corpus"
if [ -d "$corpus" ]; then
    while IFS= read -r -d '' f; do
        sources+=("$f")
    done < <(find "$corpus" -type f \( -iname '*.hgr' -o -iname '*.dhgr' -o -iname '*.dgr' \) \
                  ! -iname '*.aux' -print0 | sort -z)
fi

for ((i = 0; i < count; ++i)); do
    src="${sources[i % ${#sources[@]}]}"
    name="$(basename "$src")"
    cp "$src" "$work/in/$(printf '%04d' "$i")_${name}"
done

start=$(date +%s.%N)
"$render" "$work"/in/* -o "$work/out/" >/dev/null
end=$(date +%s.%N)

made=$(find "$work/out" -name '*.png' | wc -l)
awk -v n="$made" -v a="$start" -v b="$end" -v cores="$(nproc)" 'BEGIN {
    t = b - a
    printf "morvo-render: %d pictures to PNG in %.3f s, %.0f pictures/s (%d cores)\n", n, t, n / t, cores
}'
