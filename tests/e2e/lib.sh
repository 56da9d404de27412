# Shared by the end-to-end scripts: runs the caller again under Xvfb, keeps a
# work folder, and drives the program's windows with xdotool.
#
# The caller sets exe (the program) and out (a folder for screenshots), then
# sources this file.

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

# The program keeps its state in temp/ beside the executable: a copy of its own.
mkdir -p "$work/app" "$work/home" "$work/config" "$work/docs"
cp "$exe" "$work/app/folivane"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM XDG_DATA_HOME XDG_CACHE_HOME

fail() {
    echo "e2e: FAIL: $*"
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        import -window root "$out/e2e-failure.png" 2>/dev/null &&
            echo "e2e: screen at the failure: $out/e2e-failure.png"
    fi
    exit 1
}

# Starts the program with the given arguments and waits for its main window.
start() {
    started=$(($(date +%s%N) / 1000000))
    (cd "$work/app" && exec ./folivane "$@") >"$work/app.log" 2>&1 &
    pid=$!
    main=""
    i=0
    while [ -z "$main" ]; do
        main=$(xdotool search --onlyvisible --name "Folivane V" 2>/dev/null | head -1) || true
        i=$((i + 1))
        if [ $i -gt 150 ]; then
            kill -0 "$pid" 2>/dev/null || echo "e2e: the program had ended; its output:"
            sed 's/^/    /' "$work/app.log"
            fail "no main window after 30 s"
        fi
        [ -n "$main" ] || sleep 0.2
    done
    xdotool windowfocus --sync "$main"
    echo "e2e: started (pid $pid, window $main) in $(($(date +%s%N) / 1000000 - started)) ms"
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

# Keys reach the program in order: each step that needs their effect waits
# for it (a window, a caption, a file), never for a fixed time.
key() {
    xdotool key --clearmodifiers --delay 60 "$@"
}

# The program's visible windows, one id a line.
windows() {
    xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true
}

# Opens a menu with its key and waits for its popup, left in $popup.
menu() {
    before=$(windows)
    key "$1"
    i=0
    popup=""
    while [ -z "$popup" ]; do
        popup=$(windows | grep -vxF "$before" | tail -1) || true
        i=$((i + 1))
        [ $i -le 50 ] || fail "$1 opened no menu"
        [ -n "$popup" ] || sleep 0.1
    done
}

# Picks the menu item of the key and waits until the menu has closed.
menu_pick() {
    key "$1"
    i=0
    while windows | grep -qxF "$popup"; do
        i=$((i + 1))
        [ $i -le 50 ] || fail "the menu stayed open after $1"
        sleep 0.1
    done
}

# Takes a screenshot once the screen has settled: two shots in a row alike.
settled_shot() {
    next="${1%.png}-next.png"
    import -window root "$1"
    i=0
    while :; do
        import -window root "$next"
        cmp -s "$1" "$next" && break
        mv "$next" "$1"
        i=$((i + 1))
        [ $i -le 25 ] || fail "the screen did not settle"
    done
    rm -f "$next"
}

# Waits until the main window's caption holds the text, within 10 s.
title_has() {
    i=0
    until xdotool getwindowname "$main" | grep -q "$1"; do
        i=$((i + 1))
        [ $i -le 50 ] || fail "expected $1 in the caption: $(xdotool getwindowname "$main")"
        sleep 0.2
    done
}

exit_program() {
    xdotool windowfocus --sync "$main"
    menu alt+f
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

