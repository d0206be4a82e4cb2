#!/usr/bin/env bash
# Starting morvo with no argument, as people start it from a menu:
#   startup.sh MORVO fresh            no settings at all
#   startup.sh MORVO damaged          a settings file full of nonsense
#   startup.sh MORVO recent N gone    N recent pictures, the newest one deleted
#   startup.sh MORVO recent N there   N recent pictures, all of them there
#   startup.sh MORVO boot             boot screens on, one recent picture
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$1"
case_name="$2"

start_fresh() {
    start_morvo
    local window
    wait_window '^morvo$'
    window="$WINDOW"
    wait_title "$window" "morvo"
    wait_blank_picture "$window"
    quit "$window"
}

start_damaged() {
    write_settings <<EOF
[General]
recentFiles=@Variant(\0\0\0\x7f\0\0\0\x5)
recentTextScreens=42
lastOpenDir=/nowhere/at/all

[mainwindow]
geometry=@ByteArray(\x1\xd9\xd0\xcb\0\x3\0\0garbage)

[engine]
jexEngine=perhaps
schemeType=-9
bmFinalDepth=twelve
paletteType=300
oneBitPalette=-4
bitShifting=2
is560Mode=@Invalid()
screenSize=70000
aspectCorrect=-3
startScreen=nope

[texteditor]
scale=-8
80col=banana
geometry=@ByteArray(nothing)
EOF
    start_morvo
    local window editor
    wait_window '^morvo$'
    window="$WINDOW"
    wait_title "$window" "morvo"
    # The single keys change the damaged options; the text editor reads its
    # own damaged ones.
    keys "$window" k l b period bracketright comma
    keys "$window" ctrl+n
    wait_window '^morvo — Text Editor$'
    editor="$WINDOW"
    quit "$editor"
    local palette size
    palette="$(setting paletteType engine)"
    size="$(setting screenSize engine)"
    [[ "$palette" =~ ^[0-7]$ ]] || fail "paletteType stored as '$palette'"
    [[ "$size" =~ ^[0-2]$ ]] || fail "screenSize stored as '$size'"
}

# The newest entry first; the others are all there, HGR and DHGR in turn.
start_recent() {
    local count="$1" newest_state="$2" i sample recent=() expected_list
    local newest="$FILES/newest.hgr"
    [ $((count % 2)) -eq 0 ] && newest="$FILES/newest.dgr"
    recent+=("$newest")
    for ((i = 2; i <= count; ++i)); do
        sample="testcard.hgr"
        [ $((i % 2)) -eq 0 ] && sample="testcard.dgr"
        cp "$E2E_SAMPLES/$sample" "$FILES/picture$i.${sample##*.}"
        recent+=("$FILES/picture$i.${sample##*.}")
    done
    [ "$newest_state" = there ] && cp "$E2E_SAMPLES/testcard.${newest##*.}" "$newest"
    local joined
    joined="$(printf '%s, ' "${recent[@]}")"
    write_settings <<EOF
[General]
recentFiles=${joined%, }
EOF
    start_morvo
    local window
    wait_window '^morvo'
    window="$WINDOW"
    if [ "$newest_state" = there ]; then
        wait_title "$window" "morvo — $(basename "$newest")"
        keys "$window" ctrl+shift+s
        answer_file_dialog "Save As D/HGR" "$FILES/saved"
        wait_file "$FILES/saved"
        same_bytes "$newest" "$FILES/saved"
        expected_list="$(printf '%s\n' "${recent[@]}")"
    else
        # A picture that is gone is dropped from the list, and nothing opens
        # in its place.
        wait_title "$window" "morvo"
        wait_blank_picture "$window"
        expected_list="$(printf '%s\n' "${recent[@]:1}")"
    fi
    quit "$window"
    [ "$(stored_recent_files)" = "$expected_list" ] ||
        fail "recent list stored as: $(stored_recent_files | tr '\n' ' ') expected: $(printf '%s' "$expected_list" | tr '\n' ' ')"
}

welcome_shown() {
    screenshot "$1" "$E2E_DIR/boot.png"
    # Welcome's first line is one inverse band across the screen; no other
    # boot screen has such a line.
    has_white_band "$E2E_DIR/boot.png" 250
}

welcome_replaced() {
    screenshot "$1" "$E2E_DIR/opened.png"
    [ "$(compare -metric AE "$E2E_DIR/welcome.png" "$E2E_DIR/opened.png" null: 2>&1 || true)" -gt 10000 ]
}

colour_depth_is() { [ "$(setting bmFinalDepth engine)" = "$1" ]; }

start_boot() {
    local picture="$FILES/newest.hgr"
    cp "$E2E_SAMPLES/testcard.hgr" "$picture"
    write_settings <<EOF
[General]
recentFiles=$picture

[engine]
jexEngine=true
schemeType=1
bmFinalDepth=8
paletteType=2
oneBitPalette=0
bitShifting=true
is560Mode=false
screenSize=1
aspectCorrect=0
startScreen=true
EOF
    start_morvo
    local window
    wait_window '^morvo'
    window="$WINDOW"
    wait_for 15 "Welcome screen" welcome_shown "$window"
    cp "$E2E_DIR/boot.png" "$E2E_DIR/welcome.png"
    # K during the boot screens only ends them: colour stays on.
    keys "$window" k
    wait_title "$window" "morvo — newest.hgr"
    wait_for 10 "the picture in place of the Welcome screen" welcome_replaced "$window"
    colour_depth_is 8 || fail "the key that ended the boot screens changed the colour mode"
    # The next K acts: monochrome.
    keys "$window" k
    wait_for 5 "monochrome stored" colour_depth_is 1
    quit "$window"
}

case "$case_name" in
fresh) start_fresh ;;
damaged) start_damaged ;;
recent) start_recent "$3" "$4" ;;
boot) start_boot ;;
*) fail "unknown start-up scenario '$case_name'" ;;
esac
