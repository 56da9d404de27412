#!/bin/sh
# The reading loop in the real program under Xvfb: opened from the command
# line, a reference to another RFC followed with Enter and come back from
# with Alt+Left, then a reference to a section of the same document.
#
#   e2e_links.sh FOLIVANE_EXECUTABLE OUTPUT_FOLDER
set -eu

exe=$(realpath "$1")
out=$(realpath "$2")

. "$(dirname "$0")/lib.sh"

first="$work/docs/rfc9990.txt"
second="$work/docs/rfc9991.txt"
awk 'BEGIN {
    print "RFC 9990                 Reading Loop Test                  May 2030"
    print ""
    print "   RFC 9991 is the other document."
    print "   See Section 5 for the details."
    for (line = 5; line <= 300; line++) {
        if (line % 50 == 0)
            printf "%d.  Part %d\n", line / 50, line / 50
        else
            printf "   Line %d of the first document.\n", line
    }
}' >"$first"
printf 'RFC 9991                 The Other Document                 May 2030\n\n1.  Start\n' >"$second"

start "$first"
title_has rfc9990
xdotool windowsize --sync "$main" 1000 740
xdotool windowmove --sync "$main" 0 0
# Into the text, right of the index.
xdotool mousemove --window "$main" 600 300 click 1
# The caret into "RFC 9991" on line 3, then Enter.
key ctrl+Home Down Down Home Right Right Right Right Right
key Return
title_has rfc9991
echo "e2e: followed RFC 9991 to $(xdotool getwindowname "$main")"
key alt+Left
title_has rfc9990
echo "e2e: back with Alt+Left"
# "Section 5" on line 4: its heading is line 250.
key ctrl+Home Down Down Down Home Right Right Right Right Right Right Right Right Right
key Return
shot="$out/e2e-links.png"
settled_shot "$shot"
echo "<CTestMeasurementFile type=\"image/png\" name=\"screenshot\">$shot</CTestMeasurementFile>"
exit_program

ini="$work/app/temp/$(printf '%s' "$first" | tr '/.:\\' '____')"
top=$(sed -n 's/^curr_line=//p' "$ini" | tr -d '\r')
[ "$top" = 250 ] || fail "after following Section 5 the top line is '$top', not 250"
echo "e2e: passed (Section 5 at the top, line $top)"
