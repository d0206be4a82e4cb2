#!/usr/bin/env bash
# The changes to an opened HGR picture, as a user meets them: a stroke marks
# the title; Undo gives back the HGR bytes exactly (Save As shows it) and
# the mark goes; both Redo keys give the stroke back; Quit with a change
# and New Graphic ask, Cancel keeps the program and the picture, Discard
# ends it and leaves every file as it was saved.
#   history.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"

# An HGR picture blank but for its first ten rows, whose bytes take every
# value, high bits included, so that turning it into DHGR and back has
# something to lose.
picture="$FILES/rows.hgr"
head -c 8192 /dev/zero >"$picture"
for ((row = 0; row < 10; ++row)); do
    values=()
    for ((column = 0; column < 40; ++column)); do values+=($(((row * 40 + column) * 37 % 256))); done
    row_offset "$row"
    poke "$picture" "$E2E_OFFSET" "${values[@]}"
done
cp "$picture" "$E2E_DIR/original.hgr"

start_morvo "$picture"
wait_window '^morvo — rows\.hgr$'
window="$WINDOW"
# Below the ten rows the picture is black to its left and bottom edges, at
# normal size 384 widget rows high: the largest black area ends where the
# picture does.
poll_until 10 "picture" picture_found "$window" '^5[0-9][0-9]x(3[0-9][0-9])\+([0-9]+)\+([0-9]+)$' ||
    fail "no picture with a black lower part in the window (largest black area: '$AREA')"
left="${BASH_REMATCH[2]}" top=$((BASH_REMATCH[3] + BASH_REMATCH[1] - 384))
row=120
y=$((top + 2 * row))
xdo mousemove --window "$window" --sync $((left + 100)) "$y" mousedown 1
xdo mousemove --window "$window" --sync $((left + 300)) "$y"
xdo mouseup 1
wait_title "$window" "morvo — rows.hgr •"

# Quit asks; Cancel (Escape) keeps the program and the change.
keys "$window" ctrl+q
wait_window '^morvo$'
keys "$WINDOW" Escape
wait_no_window '^morvo$'
wait_title "$window" "morvo — rows.hgr •"

keys "$window" ctrl+z
wait_title "$window" "morvo — rows.hgr"
keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/undone.hgr"
wait_title "$window" "morvo — rows.hgr"
wait_file "$FILES/undone.hgr"
same_bytes "$E2E_DIR/original.hgr" "$FILES/undone.hgr"

keys "$window" ctrl+shift+z
wait_title "$window" "morvo — rows.hgr •"
keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/stroke.dgr"
wait_title "$window" "morvo — rows.hgr"
wait_file "$FILES/stroke.dgr"
[ "$(stat -c %s "$FILES/stroke.dgr")" = 16384 ] ||
    fail "saved $(stat -c %s "$FILES/stroke.dgr") bytes, expected a 16,384-byte DHGR picture"
rows="$(rows_with_dots "$FILES/stroke.dgr" | tr '\n' ' ')"
[ "$rows" = "0 1 2 3 4 5 6 7 8 9 $row " ] || fail "dots on rows '$rows', expected on rows 0-9 and $row"
# A white stroke over 200 of the 560 dots lights every bit of some 28 bytes.
row_offset "$row"
lit="$( (od -An -v -tu1 -w1 -j "$E2E_OFFSET" -N 40 "$FILES/stroke.dgr"
         od -An -v -tu1 -w1 -j $((E2E_OFFSET + 8192)) -N 40 "$FILES/stroke.dgr") | grep -c -E '^ *(127|255)$' || true)"
[ "$lit" -ge 26 ] || fail "only $lit bytes of row $row are lit by the stroke"

# Undo leaves the saved state, Ctrl+Y comes back to it: the mark comes and goes.
keys "$window" ctrl+z
wait_title "$window" "morvo — rows.hgr •"
keys "$window" ctrl+y
wait_title "$window" "morvo — rows.hgr"
cp "$FILES/stroke.dgr" "$E2E_DIR/stroke.dgr"

# Another stroke; New Graphic asks too, and Cancel keeps the picture. Then
# Quit: Discard ends morvo without writing anything.
xdo mousemove --window "$window" --sync $((left + 100)) $((y + 40)) mousedown 1
xdo mousemove --window "$window" --sync $((left + 200)) $((y + 40))
xdo mouseup 1
wait_title "$window" "morvo — rows.hgr •"
keys "$window" ctrl+shift+n
wait_window '^morvo$'
keys "$WINDOW" Escape
wait_no_window '^morvo$'
wait_title "$window" "morvo — rows.hgr •"
keys "$window" ctrl+q
wait_window '^morvo$'
discard "$WINDOW"
wait_exit 0
same_bytes "$E2E_DIR/original.hgr" "$picture"
same_bytes "$E2E_DIR/original.hgr" "$FILES/undone.hgr"
same_bytes "$E2E_DIR/stroke.dgr" "$FILES/stroke.dgr"
