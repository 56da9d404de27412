#!/bin/sh
# The real program under Xvfb, driven by keystrokes as a person would: open
# a document through the file dialog and, without a click, scroll, find,
# bookmark, highlight, confirm the text font unchanged and exit; then start
# again, reopen it, take a screenshot and exit; then once more over a
# damaged highlight file.
#
#   e2e.sh FOLIVANE_EXECUTABLE OUTPUT_FOLDER
#
# The screenshot goes to OUTPUT_FOLDER/e2e-reopened.png. Exit status 77 when
# the X tools are missing (CTest counts it as skipped).
set -eu

exe=$(realpath "$1")
out=$(realpath "$2")

. "$(dirname "$0")/lib.sh"

doc="$work/docs/rfc-e2e.txt"
awk 'BEGIN {
    section = 0
    for (line = 1; line <= 300; line++) {
        if (line % 40 == 1) {
            section++
            printf "%d.  Section %d of the end-to-end document\n", section, section
        } else if (line == 123) {
            print "   Security considerations are discussed in the last section."
        } else if (line == 187) {
            print "   This line also mentions security, for the second find."
        } else {
            printf "   Line %d of the test document, plain text to scroll through.\n", line
        }
    }
}' >"$doc"

settings="$work/config/Tessary software/Folivane/settings.reg"
ini="$work/app/temp/$(printf '%s' "$doc" | tr '/.:\\' '____')"
hl="${ini}_hl"

# The position where a line (counted from 1) starts: every line end counts two.
line_start() {
    awk -v n="$1" 'NR < n { at += length($0) + 2 } END { print at + 0 }' "$doc"
}
# The view's length of the whole document.
text_length() {
    awk '{ at += length($0) + 2 } END { print at + 0 }' "$doc"
}
# The ranges of the highlight file, "start end" pairs on one line.
hl_ranges() {
    set -- $(od -An -v -t d4 "$hl")
    shift # the header
    echo "$*"
}
# A signed 32-bit little-endian value, as the highlight file holds it.
le32() {
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"
}

open_document() {
    xdotool windowfocus --sync "$main"
    key ctrl+o
    box=$(dialog) || fail "Ctrl+O opened no dialog"
    xdotool windowfocus --sync "$box"
    xdotool type --delay 10 "$doc"
    key Return
    dialog_gone
    title_has rfc-e2e
    # Xvfb runs no window manager: give the main window back the focus the
    # closed dialog took, as one would (keys reach the text either way, but
    # shortcuts only work in the active window).
    xdotool windowfocus --sync "$main"
    echo "e2e: opened $doc; title: $(xdotool getwindowname "$main")"
}

ini_value() {
    sed -n "/^\[$1\]/,/^\[/p" "$ini" | sed -n "s/^$2=//p" | tr -d '\r'
}

# First run, keyboard only: the keys go to the text as soon as it opens.
start
# The user makes the window large; it is remembered.
xdotool windowsize --sync "$main" 1000 740
xdotool windowmove --sync "$main" 0 0
open_document
key Page_Down Page_Down

# Find: the first match (line 123), then the next one (line 187) with F3.
xdotool windowfocus --sync "$main"
key ctrl+f
box=$(dialog) || fail "Ctrl+F opened no find dialog"
xdotool windowfocus --sync "$box"
xdotool type --delay 20 "security"
key Return
key Escape
dialog_gone
xdotool windowfocus --sync "$main"
key F3

# A bookmark where find left the caret, then that line and the next one
# highlighted with Shift+Down, Shift+Down, F5.
key ctrl+m
box=$(dialog) || fail "Ctrl+M opened no prompt"
xdotool windowfocus --sync "$box"
xdotool type --delay 20 "e2e mark"
key Return
dialog_gone
xdotool windowfocus --sync "$main"
key Home shift+Down shift+Down
key F5

# Config, Text Font, OK at once: the stored face stays, even where it is missing.
menu alt+c
menu_pick t
box=$(dialog) || fail "Config, Text Font opened no dialog"
xdotool windowfocus --sync "$box"
key Return
dialog_gone
exit_program

[ -f "$ini" ] || fail "no state file $ini"
echo "e2e: state file after the first run:"
sed 's/^/    /' "$ini"
count=$(ini_value bookmark count)
name=$(ini_value bookmark_name 0)
marked=$(ini_value bookmark 0)
line=$(ini_value bookmark curr_line)
[ "$count" = 1 ] || fail "bookmark count is '$count', not 1"
[ "$name" = "e2e mark" ] || fail "bookmark name is '$name'"
# Line 187 (186 counted from 0) holds the second "security": find went there.
[ "$marked" = 186 ] || fail "the bookmark is on line '$marked', not on the second find's 186"
[ -n "$line" ] && [ "$line" -gt 1 ] || fail "curr_line is '$line', not past 1"
[ -f "$hl" ] || fail "no highlight file"
size=$(stat -c %s "$hl")
expected="$(line_start 187) $(line_start 189)"
[ "$(hl_ranges)" = "$expected" ] || fail "highlighted '$(hl_ranges)', not lines 187 and 188 ($expected)"
echo "e2e: highlight file of $size bytes: $(hl_ranges)"
grep -q '"main_width"=dword:000003e8' "$settings" || fail "the window width was not stored"
text_font=$(sed -n '/\\config\\text\]/,/^\[/p' "$settings")
face=$(printf '%s\n' "$text_font" | sed -n 's/^"name"="\(.*\)"$/\1/p')
italic=$(printf '%s\n' "$text_font" | sed -n 's/^"italic"=//p')
[ "$face" = "Courier New" ] || fail "the text font became '$face' without a choice"
[ "$italic" = dword:00000000 ] || fail "the text font became italic ($italic) without a choice"

# Second run: reopen, look, exit.
start
open_document
# A click in the text clears the selection the reopening made of the last
# highlight, so that its yellow shows; then the bookmark list, from its tab
# at the foot of the left panel.
xdotool mousemove --window "$main" 500 200 click 1
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" 126 $((HEIGHT - 35)) click 1
shot="$out/e2e-reopened.png"
settled_shot "$shot"
echo "e2e: screenshot of the reopened document: $shot"
echo "<CTestMeasurementFile type=\"image/png\" name=\"screenshot\">$shot</CTestMeasurementFile>"
exit_program

[ "$(ini_value bookmark count)" = 1 ] || fail "bookmark count changed to '$(ini_value bookmark count)'"
[ "$(ini_value bookmark_name 0)" = "e2e mark" ] || fail "bookmark name changed"
[ "$(ini_value bookmark curr_line)" = "$line" ] || fail "curr_line changed from $line to $(ini_value bookmark curr_line)"
[ "$(stat -c %s "$hl")" = "$size" ] || fail "the highlight file changed size"

# Third run, over a highlight file with overlapping ranges and one past the
# end: they restore merged and cut, and a new highlight (the first three
# characters) writes them back so.
end=$(text_length)
for value in 1 10 20 15 30 100 2000000000; do le32 "$value"; done >"$hl"
start
open_document
key ctrl+Home shift+Right shift+Right shift+Right
key F5
exit_program
expected="0 3 10 30 100 $end"
[ "$(hl_ranges)" = "$expected" ] || fail "restored '$(hl_ranges)', not merged and cut ($expected)"
echo "e2e: passed (curr_line $line, bookmark 'e2e mark' on line 186, highlights restored as $expected)"
