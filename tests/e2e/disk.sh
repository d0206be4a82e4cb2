#!/usr/bin/env bash
# A disk image opened from the command line lists its pictures; Page Down
# and Page Up show them in turn, titled by the image and the path inside it;
# Save As writes the picture read out of the image byte for byte; and the
# next start opens the picture last shown inside the image again, from the
# recent list.
#   disk.sh MORVO DISKS
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"
disks="$2"

cp "$disks/dos.dsk" "$FILES/dos.dsk"
start_morvo "$FILES/dos.dsk"
wait_window '^morvo$'
window="$WINDOW"

# The list opens on its first picture, PIC1; each key shows the next one.
keys "$window" Next
wait_title "$window" "morvo — dos.dsk › PIC2.PAGE2"
keys "$window" Next
wait_title "$window" "morvo — dos.dsk › DOUBLE"
keys "$window" ctrl+shift+s
answer_file_dialog "Save As D/HGR" "$FILES/double.dgr"
wait_file "$FILES/double.dgr"
same_bytes "$disks/expected/dos_DOUBLE" "$FILES/double.dgr"
keys "$window" Prior
wait_title "$window" "morvo — dos.dsk › PIC2.PAGE2"
quit "$window"
cmp -s "$disks/dos.dsk" "$FILES/dos.dsk" || fail "the disk image was changed"

start_morvo
wait_window '^morvo — dos\.dsk › PIC2\.PAGE2$'
quit "$WINDOW"
