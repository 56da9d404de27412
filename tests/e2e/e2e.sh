#!/bin/sh
# The real program under Xvfb, driven by keystrokes as a person would: open
# a document through the file dialog, bookmark, highlight, find, scroll, exit;
# then start again, reopen it, take a screenshot and exit.
#
#   e2e.sh FOLIVANE_EXECUTABLE OUTPUT_FOLDER
#
# The screenshot goes to OUTPUT_FOLDER/e2e-reopened.png. Exit status 77 when
# the X tools are missing (CTest counts it as skipped).
set -eu

exe=$(realpath "$1")
out=$(realpath "$2")

if [ -z "${E2E_UNDER_XVFB:-}" ]; then
    for tool in xvfb-run xdotool import; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "e2e: $tool is missing (tools/install-deps installs it)"
            exit 77
        fi
    done
    E2E_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d /tmp/folivane-e2e.XXXXXX)
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "e2e: FAIL: $*"
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        import -window root "$out/e2e-failure.png" 2>/dev/null &&
            echo "e2e: screen at the failure: $out/e2e-failure.png"
    fi
    exit 1
}

# The program keeps its state in temp/ beside the executable: a copy of its own.
mkdir -p "$work/app" "$work/home" "$work/config" "$work/docs"
cp "$exe" "$work/app/folivane"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM XDG_DATA_HOME XDG_CACHE_HOME

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

start() {
    (cd "$work/app" && exec ./folivane) >"$work/app.log" 2>&1 &
    pid=$!
    main=""
    i=0
    while [ -z "$main" ]; do
        main=$(xdotool search --onlyvisible --name "Folivane V3.2" 2>/dev/null | head -1) || true
        i=$((i + 1))
        [ $i -le 100 ] || fail "no main window after 20 s"
        [ -n "$main" ] || sleep 0.2
    done
    xdotool windowfocus --sync "$main"
    echo "e2e: started (pid $pid, window $main)"
}

# The newest visible window of the program other than the main one, within 10 s.
dialog() {
    i=0
    while [ $i -lt 50 ]; do
        w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -1) || true
        if [ -n "$w" ] && [ "$w" != "$main" ]; then
            echo "$w"
            return 0
        fi
        sleep 0.2
        i=$((i + 1))
    done
    return 1
}

# Waits until only the main window is left.
dialog_gone() {
    i=0
    while [ $i -lt 50 ]; do
        w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -1) || true
        [ "$w" = "$main" ] && return 0
        sleep 0.2
        i=$((i + 1))
    done
    fail "a dialog stayed open: $(xdotool getwindowname "$w" 2>/dev/null || true)"
}

key() {
    xdotool key --clearmodifiers --delay 60 "$@"
    sleep 0.3
}

open_document() {
    xdotool windowfocus --sync "$main"
    key ctrl+o
    box=$(dialog) || fail "Ctrl+O opened no dialog"
    xdotool windowfocus --sync "$box"
    xdotool type --delay 10 "$doc"
    key Return
    dialog_gone
    i=0
    until xdotool getwindowname "$main" | grep -q "rfc-e2e"; do
        i=$((i + 1))
        [ $i -le 50 ] || fail "the document did not open; title: $(xdotool getwindowname "$main")"
        sleep 0.2
    done
    echo "e2e: opened $doc; title: $(xdotool getwindowname "$main")"
}

exit_program() {
    xdotool windowfocus --sync "$main"
    key alt+f
    key x
    i=0
    while kill -0 "$pid" 2>/dev/null; do
        i=$((i + 1))
        [ $i -le 75 ] || fail "the program did not exit within 15 s (a message box?)"
        sleep 0.2
    done
    wait "$pid" || fail "the program exited with status $?"
    pid=""
    echo "e2e: exited"
}

ini_value() {
    sed -n "/^\[$1\]/,/^\[/p" "$ini" | sed -n "s/^$2=//p" | tr -d '\r'
}

# First run: open, bookmark, highlight, find, scroll, exit.
start
# The user makes the window large; it is remembered.
xdotool windowsize --sync "$main" 1000 740
xdotool windowmove --sync "$main" 0 0
open_document

# Into the text, right of the index, near its top; two pages down.
xdotool mousemove --window "$main" 500 140 click 1
sleep 0.3
key Page_Down Page_Down

# Find: the first match, then the next one, which the view scrolls to.
xdotool windowfocus --sync "$main"
key ctrl+f
if box=$(dialog); then
    xdotool windowfocus --sync "$box"
    xdotool type --delay 20 "security"
    key Return
    key Escape
    dialog_gone
    xdotool windowfocus --sync "$main"
    key F3
    echo "e2e: found \"security\" with Ctrl+F, then again with F3"
else
    echo "e2e: note: Ctrl+F opened no find dialog; the find step was skipped"
fi

# A bookmark where the caret is, then the line and the next one highlighted.
key ctrl+m
box=$(dialog) || fail "Ctrl+M opened no prompt"
xdotool windowfocus --sync "$box"
xdotool type --delay 20 "e2e mark"
key Return
dialog_gone
xdotool windowfocus --sync "$main"
key Home shift+Down shift+Down
key F5
exit_program

[ -f "$ini" ] || fail "no state file $ini"
echo "e2e: state file after the first run:"
sed 's/^/    /' "$ini"
count=$(ini_value bookmark count)
name=$(ini_value bookmark_name 0)
line=$(ini_value bookmark curr_line)
[ "$count" = 1 ] || fail "bookmark count is '$count', not 1"
[ "$name" = "e2e mark" ] || fail "bookmark name is '$name'"
[ -n "$line" ] && [ "$line" -gt 1 ] || fail "curr_line is '$line', not past 1"
[ -f "$hl" ] || fail "no highlight file"
size=$(stat -c %s "$hl")
[ "$size" -ge 12 ] || fail "the highlight file has $size bytes"
echo "e2e: highlight file of $size bytes"
grep -q '"main_width"=dword:000003e8' "$settings" || fail "the window width was not stored"

# Second run: reopen, look, exit.
start
open_document
# A click in the text clears the selection the reopening made of the last
# highlight, so that its yellow shows; then the bookmark list, from its tab
# at the foot of the left panel.
xdotool mousemove --window "$main" 500 200 click 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" 126 $((HEIGHT - 35)) click 1
sleep 1
shot="$out/e2e-reopened.png"
import -window root "$shot"
echo "e2e: screenshot of the reopened document: $shot"
echo "<CTestMeasurementFile type=\"image/png\" name=\"screenshot\">$shot</CTestMeasurementFile>"
exit_program

[ "$(ini_value bookmark count)" = 1 ] || fail "bookmark count changed to '$(ini_value bookmark count)'"
[ "$(ini_value bookmark_name 0)" = "e2e mark" ] || fail "bookmark name changed"
[ "$(ini_value bookmark curr_line)" = "$line" ] || fail "curr_line changed from $line to $(ini_value bookmark curr_line)"
[ "$(stat -c %s "$hl")" = "$size" ] || fail "the highlight file changed size"
echo "e2e: passed (curr_line $line, bookmark 'e2e mark', highlight file $size bytes)"
