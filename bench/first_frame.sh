#!/usr/bin/env bash
# Start to first painted frame of the main window, in milliseconds: the
# median of several starts of morvo-first-frame with a picture, on the X
# server given by DISPLAY, under Xvfb when there is none, or offscreen.
#   bench/first_frame.sh [RUNS] [PICTURE]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-15}"
picture="${2:-$here/samples/testcard.dgr}"
exe="$here/build/bin/morvo-first-frame"

if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${MORVO_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
    MORVO_UNDER_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi
platform="${QT_QPA_PLATFORM:-xcb}"

results="$(mktemp)"
trap 'rm -f "$results"' EXIT
for ((i = 0; i < runs; ++i)); do
    MORVO_LAUNCH_NS="$(date +%s%N)" "$exe" "$picture" >>"$results"
done
sort -n -k4 "$results" | awk -v platform="$platform" -v n="$runs" '
    { main[NR] = $1; app[NR] = $2; win[NR] = $3; paint[NR] = $4 }
    END {
        m = int((NR + 1) / 2)
        printf "first painted frame (%s, median of %d): %.1f ms; main reached %.1f, application %.1f, window built %.1f\n",
               platform, n, paint[m], main[m], app[m], win[m]
    }'
