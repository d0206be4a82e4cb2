#!/usr/bin/env bash
# Open Graphic, Save As and the PNG export through Qt's own file dialogs:
# an HGR and a DHGR picture come back byte for byte, the PNG is the frame
# with every scan line twice, and both pictures join the recent list.
#   files.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"

cp "$E2E_SAMPLES/testcard.hgr" "$FILES/card.hgr"
cp "$E2E_SAMPLES/testcard.dgr" "$FILES/card.dgr"
start_morvo
wait_window '^morvo$'
window="$WINDOW"

for picture in card.hgr card.dgr; do
    keys "$window" ctrl+shift+o
    answer_file_dialog "Open Apple II Picture" "$FILES/$picture"
    wait_title "$window" "morvo — $picture"
    keys "$window" ctrl+shift+s
    answer_file_dialog "Save As D/HGR" "$FILES/saved-$picture"
    wait_file "$FILES/saved-$picture"
    same_bytes "$FILES/$picture" "$FILES/saved-$picture"
done

keys "$window" ctrl+s
answer_file_dialog "Save as PNG" "$FILES/card.png"
wait_file "$FILES/card.png"
size="$(identify -format '%m %wx%h' "$FILES/card.png")"
[ "$size" = "PNG 562x384" ] || fail "the export is '$size', expected a 562 x 384 PNG"

quit "$window"
[ "$(stored_recent_files | tr '\n' ' ')" = "$FILES/card.dgr $FILES/card.hgr " ] ||
    fail "recent list stored as: $(stored_recent_files | tr '\n' ' ')"
[ "$(setting lastOpenDir)" = "$FILES" ] || fail "lastOpenDir stored as '$(setting lastOpenDir)'"
[ "$(setting lastSaveDir)" = "$FILES" ] || fail "lastSaveDir stored as '$(setting lastSaveDir)'"
