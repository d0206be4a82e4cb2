#!/usr/bin/env bash
# Zoomed to eight times with Ctrl and the wheel over a lit dot, with the dot
# grid on, the pencil in 560 Mode lights exactly the dots under the pointer:
# a drag along one row and a click, placed from where the lit dot shows on
# the screen. The zoom and the grid are stored.
#   zoom.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"

# A blank DHGR picture with one lit dot in the middle.
mark_x=280 mark_y=96
head -c 16384 /dev/zero >"$FILES/mark.dgr"
light_dot "$FILES/mark.dgr" "$mark_x" "$mark_y"
write_settings <<EOF
[engine]
jexEngine=false
bmFinalDepth=1
is560Mode=true
screenSize=1
aspectCorrect=0
startScreen=false
EOF
start_morvo "$FILES/mark.dgr"
wait_window '^morvo — mark\.dgr$'
window="$WINDOW"
wait_blank_picture "$window"
[[ "$AREA" =~ \+([0-9]+)\+([0-9]+)$ ]]
left="${BASH_REMATCH[1]}" top="${BASH_REMATCH[2]}"

# Six notches: 1.5, 2, 3, 4, 6 and 8 times. At normal size the frame shows
# dot x in column x + 1, and every picture row twice.
xdo mousemove --window "$window" --sync $((left + mark_x + 1)) $((top + 2 * mark_y))
xdo windowfocus --sync "$window" keydown ctrl click --repeat 6 --delay 40 4 keyup ctrl
zoom_is() { [ "$(setting zoom view)" = "$1" ]; }
wait_for 10 "zoom 8 in the settings" zoom_is 8

# At eight times a dot is 8 pixels wide and 16 high. The picture now fills
# the scroll area, black but for the lit dot.
lit_dot_found() {
    screenshot "$window" "$E2E_DIR/zoomed.png"
    AREA="$(picture_rectangle "$E2E_DIR/zoomed.png")"
    [[ "$AREA" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    local view_x="${BASH_REMATCH[3]}" view_y="${BASH_REMATCH[4]}"
    DOT="$(convert "$E2E_DIR/zoomed.png" -crop "$AREA" +repage -threshold 50% -format '%@' info:)"
    [[ "$DOT" =~ ^8x16\+([0-9]+)\+([0-9]+)$ ]] || return 1
    dot_x=$((view_x + BASH_REMATCH[1])) dot_y=$((view_y + BASH_REMATCH[2]))
}
poll_until 10 "the lit dot zoomed" lit_dot_found ||
    fail "no 8 x 16 lit dot in the zoomed view (view '$AREA', lit '$DOT')"

keys "$window" ctrl+g
grid_stored() { [ "$(setting dotGrid view)" = true ]; }
wait_for 10 "the dot grid in the settings" grid_stored

# The middle of the dot DX columns right of and DY rows below the lit one.
# The pencil draws as the mouse moves, not at the press: a drag along a row,
# then one within a single dot.
at_dot() { at_x=$((dot_x + 8 * $1 + 4)) at_y=$((dot_y + 16 * $2 + 8)); }
at_dot 3 2
xdo mousemove --window "$window" --sync "$at_x" "$at_y" mousedown 1
at_dot 6 2
xdo mousemove --window "$window" --sync "$at_x" "$at_y" mouseup 1
at_dot -2 -1
xdo mousemove --window "$window" --sync $((at_x - 2)) $((at_y - 3)) mousedown 1
xdo mousemove --window "$window" --sync $((at_x + 2)) $((at_y + 3)) mouseup 1
wait_title "$window" "morvo — mark.dgr •"

cp "$FILES/mark.dgr" "$E2E_DIR/expected.dgr"
for x in 3 4 5 6; do light_dot "$E2E_DIR/expected.dgr" $((mark_x + x)) $((mark_y + 2)); done
light_dot "$E2E_DIR/expected.dgr" $((mark_x - 2)) $((mark_y - 1))
keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/painted.dgr"
wait_file "$FILES/painted.dgr"
same_bytes "$E2E_DIR/expected.dgr" "$FILES/painted.dgr"

# The zoom keys as typed on a US keyboard: Ctrl+plus is Ctrl+Shift+=.
for step in minus:6 plus:8 0:1 plus:1.5; do
    keys "$window" "ctrl+${step%:*}"
    wait_for 10 "zoom ${step#*:} after Ctrl+${step%:*}" zoom_is "${step#*:}"
done
quit "$window"
