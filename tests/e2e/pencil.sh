#!/usr/bin/env bash
# A pencil stroke with the mouse on a blank HGR picture at half size, then
# Save As: the picture has become DHGR and its only dots are on the
# stroked row.
#   pencil.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"

head -c 8192 /dev/zero >"$FILES/blank.hgr"
write_settings <<EOF
[engine]
jexEngine=true
schemeType=1
bmFinalDepth=8
paletteType=2
bitShifting=true
is560Mode=false
screenSize=0
aspectCorrect=0
startScreen=false
EOF
start_morvo "$FILES/blank.hgr"
wait_window '^morvo — blank\.hgr$'
window="$WINDOW"

# At half size each widget row is one picture row and each widget column
# two of the 560 dots.
poll_until 10 "blank picture" picture_found "$window" '^281x192\+([0-9]+)\+([0-9]+)$' ||
    fail "no 281 x 192 blank picture in the window (largest black area: '$AREA')"
left="${BASH_REMATCH[1]}" top="${BASH_REMATCH[2]}"
row=100
y=$((top + row))
xdo mousemove --window "$window" --sync $((left + 20)) "$y" mousedown 1
for x in 60 120 180 240; do
    xdo mousemove --window "$window" --sync $((left + x)) "$y"
done
xdo mouseup 1

keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/stroke.dgr"
wait_file "$FILES/stroke.dgr"
screenshot "$window" "$E2E_DIR/after.png"
[ "$(stat -c %s "$FILES/stroke.dgr")" = 16384 ] ||
    fail "saved $(stat -c %s "$FILES/stroke.dgr") bytes, expected a 16,384-byte DHGR picture"
rows="$(rows_with_dots "$FILES/stroke.dgr" | tr '\n' ' ')"
[ "$rows" = "$row " ] || fail "dots on rows '$rows', expected on row $row only"
# The whole stroke, 440 of the 560 dots: some 63 bytes of 7 dots.
bytes="$(od -An -v -tu1 -w1 "$FILES/stroke.dgr" | grep -c -v '^ *0$' || true)"
[ "$bytes" -ge 60 ] || fail "only $bytes bytes of the stroke were saved"
quit "$window"
