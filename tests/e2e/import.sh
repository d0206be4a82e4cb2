#!/usr/bin/env bash
# Import Image through the real dialogs: the picture OK gives, saved with
# Save As, is byte for byte what morvo-render --import makes of the same
# image with the same (default) settings; Undo takes the import back and
# Redo brings it again.
#   import.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"
render="$(dirname "$1")/morvo-render"

convert -size 320x240 gradient:orange-navy -swirl 120 "$FILES/photo.png"
start_morvo
wait_window '^morvo$'
window="$WINDOW"

keys "$window" ctrl+i
answer_file_dialog "Import Image" "$FILES/photo.png"
wait_window '^Import Image — photo\.png$'
dialog="$WINDOW"
# OK is there once the finished picture is ready: Return until it is taken.
accepted() {
    visible_window '^Import Image — photo\.png$' || return 0
    xdotool key --window "$dialog" Return 2>/dev/null || true
    return 1
}
poll_until 60 "the import's OK" accepted || fail "the import dialog never took OK"
wait_title "$window" "morvo •"

keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/gui.dgr"
wait_file "$FILES/gui.dgr"
"$render" --import "$FILES/photo.png" --save "$FILES/cli.dgr" >/dev/null ||
    fail "morvo-render --import failed"
same_bytes "$FILES/cli.dgr" "$FILES/gui.dgr"

# Saved: no mark. Undo takes the import back (a change from what was
# saved), Redo brings it back as saved.
wait_title "$window" "morvo"
keys "$window" ctrl+z
wait_title "$window" "morvo •"
keys "$window" ctrl+y
wait_title "$window" "morvo"
quit "$window"
