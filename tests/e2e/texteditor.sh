#!/usr/bin/env bash
# The text editor: a screen typed and saved through the dialog, opened
# again, changed and saved in place; Quit with unsaved text asks, Cancel
# keeps the program and the text, Discard ends it without saving.
#   texteditor.sh MORVO
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"

start_morvo
wait_window '^morvo$'
window="$WINDOW"
keys "$window" ctrl+n
wait_window '^morvo — Text Editor$'
editor="$WINDOW"
type_text "$editor" "HELLO APPLE"
wait_title "$editor" "morvo — Text Editor •"
keys "$editor" ctrl+s
answer_file_dialog "Save Text Screen" "$FILES/hello.txt"
wait_title "$editor" "morvo — hello.txt"
wait_file "$FILES/hello.txt"
cp "$FILES/hello.txt" "$E2E_DIR/first.txt"
keys "$editor" ctrl+n
wait_title "$editor" "morvo — Text Editor"
keys "$editor" ctrl+o
answer_file_dialog "Open Text Screen" "$FILES/hello.txt"
wait_title "$editor" "morvo — hello.txt"
type_text "$editor" "X"
wait_title "$editor" "morvo — hello.txt •"
keys "$editor" ctrl+s
wait_title "$editor" "morvo — hello.txt"
cp "$FILES/hello.txt" "$E2E_DIR/second.txt"
cmp -s "$E2E_DIR/first.txt" "$E2E_DIR/second.txt" && fail "saving in place left hello.txt as it was"

# Quit with unsaved text asks; Cancel (Escape) keeps the program and the
# text, Discard ends it and leaves the file as it was saved.
type_text "$editor" "Y"
wait_title "$editor" "morvo — hello.txt •"
keys "$editor" ctrl+q
wait_window '^Save changes\?$'
keys "$WINDOW" Escape
wait_no_window '^Save changes\?$'
wait_title "$editor" "morvo — hello.txt •"
keys "$editor" ctrl+q
wait_window '^Save changes\?$'
discard "$WINDOW"
wait_exit 0
same_bytes "$E2E_DIR/second.txt" "$FILES/hello.txt"
