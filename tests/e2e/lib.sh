# Shared by the end-to-end scenarios: each scenario sources this file, calls
# e2e_begin with the morvo executable, and then drives the program as a user
# does, on a virtual X display of its own, with an empty home and settings
# folder of its own.
#
# Every wait polls every 50 ms up to a time limit and fails the scenario when
# morvo has died meanwhile. MORVO_E2E_SLOW multiplies every limit (memcheck
# runs the program some thirty times slower); MORVO_E2E_WRAPPER, when set, is
# a command line put before morvo (valgrind). MORVO_E2E_KEEP keeps the
# scratch folder (screenshots, files written, morvo's output) for a look.

set -euo pipefail

E2E_SAMPLES="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../samples" && pwd)"
E2E_SLOW="${MORVO_E2E_SLOW:-1}"
E2E_MORVO=""
E2E_PID=""
E2E_XVFB_PID=""
E2E_DIR=""
E2E_ENDING=""

e2e_log() { printf 'e2e: %s\n' "$*" >&2; }

# Fails the scenario: what was expected, then what morvo said.
fail() {
    e2e_log "FAIL: $*"
    if [ -n "$E2E_DIR" ] && [ -s "$E2E_DIR/stderr" ]; then
        e2e_log "morvo's standard error (last lines):"
        tail -n 40 "$E2E_DIR/stderr" >&2
    fi
    exit 1
}

e2e_cleanup() {
    local code=$?
    if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
        kill -KILL "$E2E_PID" 2>/dev/null || true
        wait "$E2E_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_DIR" ]; then
        if [ -n "${MORVO_E2E_KEEP:-}" ]; then
            e2e_log "kept $E2E_DIR"
        else
            rm -rf "$E2E_DIR"
        fi
    fi
    exit "$code"
}

# e2e_begin MORVO: a scratch folder (home, settings, files), an X display.
e2e_begin() {
    E2E_MORVO="$1"
    [ -x "$E2E_MORVO" ] || { echo "e2e: no executable $E2E_MORVO" >&2; exit 1; }
    E2E_DIR="$(mktemp -d "${TMPDIR:-/tmp}/morvo-e2e.XXXXXX")"
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM
    export HOME="$E2E_DIR/home" XDG_CONFIG_HOME="$E2E_DIR/config" XDG_RUNTIME_DIR="$E2E_DIR/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$E2E_DIR/files"
    chmod 700 "$XDG_RUNTIME_DIR"
    SETTINGS="$XDG_CONFIG_HOME/kestrand/morvo.conf"
    FILES="$E2E_DIR/files"
    export QT_QPA_PLATFORM=xcb
    unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE SESSION_MANAGER
    # No session bus and no sound server: nothing outside the scenario is
    # reached or started (D-Bus would fork dbus-launch), and the boot
    # screens skip their sounds as on a machine without audio.
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_DIR/no-bus" PULSE_SERVER="unix:$E2E_DIR/no-sound"
    start_display
}

xvfb_settled() { grep -q '^[0-9]' "$E2E_DIR/display" 2>/dev/null || ! kill -0 "$E2E_XVFB_PID" 2>/dev/null; }

# A virtual display of a number picked at random, so that scenarios that run
# side by side, or other X servers on the machine, do not meet; one that is
# taken or takes no client is given up for another. The server does not
# reset when the check's client leaves, which would turn morvo away.
start_display() {
    local attempt number
    for attempt in 1 2 3 4 5; do
        number=$((RANDOM % 900 + 100))
        : >"$E2E_DIR/display"
        Xvfb ":$number" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_DIR/display" \
            >"$E2E_DIR/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        poll_until 10 "Xvfb" xvfb_settled || true
        export DISPLAY=":$number"
        if kill -0 "$E2E_XVFB_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1; then
            return 0
        fi
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
        E2E_XVFB_PID=""
    done
    cat "$E2E_DIR/xvfb.log" >&2
    fail "no virtual display after $attempt tries"
}

# The settings file as a user would leave it.
write_settings() {
    mkdir -p "$(dirname "$SETTINGS")"
    cat >"$SETTINGS"
}

# The value of KEY in [GROUP] (default General) of the settings file.
setting() {
    local key="$1" group="${2:-General}"
    [ -f "$SETTINGS" ] || return 0
    awk -v key="$key" -v group="[$group]" '
        /^\[/ { inside = ($0 == group); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2) }' "$SETTINGS"
}

# The recent pictures as stored, one a line (the paths hold no commas).
stored_recent_files() {
    local value
    value="$(setting recentFiles)"
    [ -z "$value" ] || [ "$value" = "@Invalid()" ] && return 0
    printf '%s\n' "$value" | sed 's/, /\n/g'
}

# start_morvo [ARGS...]: morvo (under the wrapper, when one is set) in the
# background.
start_morvo() {
    local wrapper=()
    [ -n "${MORVO_E2E_WRAPPER:-}" ] && read -r -a wrapper <<<"$MORVO_E2E_WRAPPER"
    "${wrapper[@]}" "$E2E_MORVO" "$@" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
    E2E_PID=$!
}

morvo_alive() { kill -0 "$E2E_PID" 2>/dev/null; }

# Milliseconds since the epoch, without starting a process.
now_ms() {
    local t="${EPOCHREALTIME/[.,]/}"
    E2E_NOW=$((t / 1000))
}

# The exit code of morvo once it has ended (a segmentation fault is 139).
reap_morvo() {
    wait "$E2E_PID" && E2E_CODE=0 || E2E_CODE=$?
    E2E_PID=""
}

# poll_until SECONDS WHAT COMMAND...: runs COMMAND every 50 ms until it
# succeeds (0) or the time is up (1); fails the scenario at once when morvo
# has ended meanwhile.
poll_until() {
    local seconds="$1" what="$2"
    shift 2
    now_ms
    local deadline=$((E2E_NOW + seconds * E2E_SLOW * 1000))
    while :; do
        "$@" && return 0
        if [ -n "$E2E_PID" ] && [ -z "$E2E_ENDING" ] && ! morvo_alive; then
            reap_morvo
            fail "morvo exited (code $E2E_CODE) while waiting for $what"
        fi
        now_ms
        [ "$E2E_NOW" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

wait_for() {
    poll_until "$@" || fail "no $2 after $1 s (x$E2E_SLOW)"
}

visible_window() {
    E2E_FOUND="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)"
    [ -n "$E2E_FOUND" ]
}

# wait_window REGEX: WINDOW is the id of a visible window whose name matches.
wait_window() {
    wait_for 15 "window named '$1'" visible_window "$1"
    WINDOW="$E2E_FOUND"
}

no_window() { ! visible_window "$1"; }
wait_no_window() { wait_for 10 "end of window '$1'" no_window "$1"; }

title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }

wait_title() {
    poll_until 10 "title '$2'" title_is "$1" "$2" ||
        fail "title '$(xdotool getwindowname "$1" 2>/dev/null)', expected '$2'"
}

# keys WINDOW KEY...: the window gets the input focus, then the keys, as
# typed on the keyboard (not as events sent to one window, which Qt ignores).
keys() {
    local window="$1"
    shift
    xdo windowfocus --sync "$window" key --delay 30 "$@"
}

type_text() {
    local window="$1"
    shift
    xdo windowfocus --sync "$window" type --delay 10 "$*"
}

# xdotool within a time limit: giving the focus to a window that has gone
# would wait for ever.
xdo() {
    timeout $((5 * E2E_SLOW)) xdotool "$@" || fail "xdotool $* did not succeed"
}

# answer_file_dialog TITLE PATH: types the full path into Qt's own file
# dialog and accepts it. The first Return may only close the completion list
# that the typed path opened, so Return is pressed again while the dialog is
# still there.
answer_file_dialog() {
    wait_window "^$1\$"
    local dialog="$WINDOW" i
    keys "$dialog" ctrl+a BackSpace
    type_text "$dialog" "$2"
    for ((i = 0; i < 3; ++i)); do
        timeout $((5 * E2E_SLOW)) xdotool windowfocus --sync "$dialog" key Return 2>/dev/null || true
        poll_until 2 "end of the dialog '$1'" no_window "^$1\$" && return 0
    done
    fail "the dialog '$1' did not take $2"
}

file_complete() {
    [ -f "$1" ] || return 1
    local before
    before="$(stat -c %s "$1")"
    sleep 0.05
    [ "$before" = "$(stat -c %s "$1")" ]
}

# wait_file PATH: until the file is there and has stopped growing.
wait_file() { wait_for 10 "file $1" file_complete "$1"; }

same_bytes() { cmp -s "$1" "$2" || fail "$2 differs from $1: $(cmp "$1" "$2" 2>&1 | head -n 1)"; }

# screenshot WINDOW FILE: what the window shows on the screen.
screenshot() { import -window "$1" "$2"; }

# A row of at least WIDTH pure white pixels in the picture: an inverse text
# line as the boot screens draw it.
has_white_band() {
    local width="$2"
    [ "$(convert "$1" -fill black +opaque white -morphology Erode "Rectangle:${width}x1" \
        -format '%[fx:maxima.r]' info:)" = 1 ]
}

# picture_rectangle SHOT: WxH+X+Y of the black picture of a blank start:
# the largest black area of the window.
picture_rectangle() {
    convert "$1" -fill white +opaque black -negate \
        -define connected-components:verbose=true -connected-components 4 null: |
        awk '$NF ~ /^(srgb\(255,255,255\)|gray\(255\))$/ && $4 > area { area = $4; box = $2 } END { print box }'
}

# picture_found WINDOW PATTERN: the largest black area of the window,
# once painted, matches PATTERN; AREA is that area.
picture_found() {
    screenshot "$1" "$E2E_DIR/picture.png"
    AREA="$(picture_rectangle "$E2E_DIR/picture.png")"
    [[ "$AREA" =~ $2 ]]
}

# wait_blank_picture WINDOW: a blank picture at normal size fills the
# picture area (scroll bars may hide a few columns of it).
wait_blank_picture() {
    poll_until 10 "blank picture" picture_found "$1" '^(5[0-9][0-9])x384\+' ||
        fail "no blank picture in the window (largest black area: '$AREA')"
}

# Output on standard error that means a fault: a sanitizer's report or
# memcheck's.
check_stderr() {
    if grep -E -q 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|UndefinedBehaviorSanitizer|SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer|== (Invalid|Conditional jump|Use of uninitialised|Mismatched)|ERROR SUMMARY: [1-9]' "$E2E_DIR/stderr"; then
        fail "fault reported on standard error"
    fi
}

# discard BOX: the Discard button of a Save / Discard / Cancel question,
# the one after Save, which has the focus.
discard() { keys "$1" Tab space; }

morvo_ended() { ! morvo_alive; }

# wait_exit CODE: morvo ends by itself within the limit with that exit code.
wait_exit() {
    E2E_ENDING=1
    poll_until 10 "end" morvo_ended || fail "morvo still running $((10 * E2E_SLOW)) s after it was asked to end"
    E2E_ENDING=""
    reap_morvo
    check_stderr
    [ "$E2E_CODE" = "$1" ] || fail "morvo exited with code $E2E_CODE, expected $1"
}

# quit WINDOW: Ctrl+Q with nothing unsaved ends morvo with code 0.
quit() {
    keys "$1" ctrl+q
    wait_exit 0
}

# Rows 0-191 of the screen whose bytes are not zero in a picture file
# (8,192 bytes of one hi-res page, or 16,384 of two: aux, then main). Each
# 128-byte block holds three 40-byte rows, 64 rows apart, and eight unused
# bytes; the eight scan lines of one text row are 1,024 bytes apart.
rows_with_dots() {
    od -An -v -tu1 -w1 "$1" | awk '
        $1 != 0 {
            offset = (NR - 1) % 8192
            block = offset % 128
            if (block < 120)
                row[int(offset / 1024) + int(offset % 1024 / 128) * 8 + int(block / 40) * 64] = 1
        }
        END { for (r in row) print r }' | sort -n
}

# The offset of row ROW (0-191) in a hi-res page: each 128-byte block holds
# three 40-byte rows 64 apart, and the eight scan lines of a text row lie
# 1,024 bytes apart.
row_offset() { E2E_OFFSET=$(($1 % 8 * 1024 + $1 / 8 % 8 * 128 + $1 / 64 * 40)); }

# poke FILE OFFSET BYTE...: writes the bytes (given in decimal) over the
# file's own from OFFSET on.
poke() {
    local file="$1" offset="$2" data="" byte
    shift 2
    for byte in "$@"; do data+="$(printf '\\%03o' "$byte")"; done
    printf "$data" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
}

# light_dot FILE X Y: lights dot X (0-559) of row Y in a 16,384-byte DHGR
# picture (aux page, then main). Every seventh dot starts a new byte, and
# the bytes take turns, aux then main, along the row.
light_dot() {
    local file="$1" x="$2" y="$3" s byte
    s=$((x + x / 7))
    row_offset "$y"
    E2E_OFFSET=$((s / 16 + E2E_OFFSET + (s / 8 % 2) * 8192))
    byte="$(od -An -tu1 -j "$E2E_OFFSET" -N1 "$file")"
    poke "$file" "$E2E_OFFSET" $((byte | 1 << x % 7))
}
