#!/bin/sh
# Runs libFuzzer targets of a FOLIVANE_FUZZ build for a fixed time each.
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...] [-- EXTRA_ARG...]
#
# Each target starts from a temporary copy of fuzz/corpus/<target> (so the
# repository is never written to). Extra arguments go to libFuzzer as they
# are: more seed folders (only read) or options such as -max_len=65536.
# Crash, timeout and leak inputs go to $FUZZ_ARTIFACTS (a temporary folder by
# default) and are named on failure. Exits non-zero as soon as one target
# finds something.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR SECONDS [TARGET...] [-- EXTRA_ARG...]" >&2; exit 2; }
build=$(cd "$1" && pwd)
seconds=$2
shift 2

targets=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    targets="$targets $1"
    shift
done
[ $# -gt 0 ] && shift # the "--"
[ -n "$targets" ] || targets="fuzz_linereader_index fuzz_heading_level fuzz_highlight_file fuzz_inifile fuzz_settings"

work=$(mktemp -d "${TMPDIR:-/tmp}/folivane-fuzz-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
artifacts=${FUZZ_ARTIFACTS:-$work/artifacts}
mkdir -p "$artifacts"

export QT_QPA_PLATFORM=offscreen
# Leaks count as findings; stack traces name the source lines.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

passed=0
for target in $targets; do
    corpus="$work/corpus-$target"
    mkdir -p "$corpus"
    cp "$here/corpus/$target/"* "$corpus/"
    dict=""
    [ -f "$here/dict/$target.dict" ] && dict="-dict=$here/dict/$target.dict"
    echo "== $target: ${seconds}s"
    status=0
    # shellcheck disable=SC2086,SC2068
    "$build/fuzz/$target" "$corpus" "$@" $dict \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
        >"$work/$target.log" 2>&1 || status=$?
    grep -E '^(#[0-9]+.*(DONE|INITED)|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$work/$target.log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$work/$target.log"
        echo "FAIL: $target exited with $status; inputs kept in $artifacts:" >&2
        ls -l "$artifacts" >&2 || true
        if [ -z "${FUZZ_ARTIFACTS:-}" ]; then
            # The temporary folder goes away: show the input itself.
            for f in "$artifacts/$target-"*; do
                [ -f "$f" ] && { echo "--- $f (base64)"; base64 "$f" | head -c 20000; echo; }
            done
        fi
        echo "fuzz: $passed passed, 1 failed"
        exit 1
    fi
    passed=$((passed + 1))
done
echo "fuzz: $passed passed, 0 failed"
