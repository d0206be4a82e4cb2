#!/usr/bin/env bash
# The Filled Rectangle tool, chosen with its key F, dragged over a blank
# DHGR picture: Save As holds the same run of lit bytes on every row from
# the press to the release and nothing else. Copy then puts the frame on
# the clipboard as a PNG, the same 562 x 384 picture as the PNG export.
#   tools.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"

head -c 16384 /dev/zero >"$FILES/blank.dgr"
start_morvo "$FILES/blank.dgr"
wait_window '^morvo — blank\.dgr$'
window="$WINDOW"
wait_blank_picture "$window"
[[ "$AREA" =~ \+([0-9]+)\+([0-9]+)$ ]]
left="${BASH_REMATCH[1]}" top="${BASH_REMATCH[2]}"

# At normal size every picture row shows on two widget rows.
first=50 last=100
keys "$window" f
xdo mousemove --window "$window" --sync $((left + 100)) $((top + 2 * first)) mousedown 1
xdo mousemove --window "$window" --sync $((left + 200)) $((top + 2 * first + 60))
xdo mousemove --window "$window" --sync $((left + 300)) $((top + 2 * last + 1)) mouseup 1
wait_title "$window" "morvo — blank.dgr •"
keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/filled.dgr"
wait_file "$FILES/filled.dgr"
rows="$(rows_with_dots "$FILES/filled.dgr" | tr '\n' ' ')"
[ "$rows" = "$(seq -s ' ' "$first" "$last") " ] || fail "dots on rows '$rows', expected on rows $first to $last"
row_bytes() {
    row_offset "$1"
    od -An -v -tu1 -j "$E2E_OFFSET" -N 40 "$FILES/filled.dgr"
    od -An -v -tu1 -j $((E2E_OFFSET + 8192)) -N 40 "$FILES/filled.dgr"
}
top_row="$(row_bytes "$first")"
for ((row = first + 1; row <= last; ++row)); do
    [ "$(row_bytes "$row")" = "$top_row" ] || fail "row $row is not filled as row $first is"
done

# The clipboard is read while morvo, which holds it, is running.
keys "$window" ctrl+c
clipboard_has_png() {
    timeout $((5 * E2E_SLOW)) xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png
}
wait_for 10 "a PNG on the clipboard" clipboard_has_png
timeout $((5 * E2E_SLOW)) xclip -selection clipboard -t image/png -o >"$E2E_DIR/clipboard.png" ||
    fail "the clipboard's PNG could not be read"
size="$(identify -format '%m %wx%h' "$E2E_DIR/clipboard.png")"
[ "$size" = "PNG 562x384" ] || fail "the clipboard holds '$size', expected a 562 x 384 PNG"
keys "$window" ctrl+s
answer_file_dialog "Save as PNG" "$FILES/filled.png"
wait_file "$FILES/filled.png"
differing="$(compare -metric AE "$E2E_DIR/clipboard.png" "$FILES/filled.png" null: 2>&1)" || true
[ "$differing" = 0 ] || fail "$differing pixels of the clipboard differ from the PNG export"
quit "$window"
