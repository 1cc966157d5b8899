#!/usr/bin/env bash
# Installs what is needed, builds the default, AddressSanitizer and ThreadSanitizer configurations, and
# runs every test (under ThreadSanitizer the threaded ones: SDK, simulator, ztctl; the real-time ones
# run alone and not under ThreadSanitizer), then a short run of every fuzzer, then the checks of the
# installed files and (as root) of the Debian packages. Ends with one summary line over all runs.
set -uo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/install-deps.sh || exit 1; fi

passed=0
failed=0
status=0
run() {  # run PRESET: configure, build, test; adds the counts from ctest's summary
    local preset=$1 log
    log=$(mktemp)
    echo "=== $preset: build"
    if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; } >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "=== $preset: build FAILED"
        failed=$((failed + 1))
        status=1
        rm -f "$log"
        return
    fi
    echo "=== $preset: test"
    ctest --preset "$preset" 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" = 0 ] || status=1
    local line total bad
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    else
        status=1
    fi
    rm -f "$log"
}

# ccache: paths relative to the checkout and no build-folder hash, so that a fresh clone in another
# folder reuses the objects of an earlier run.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run default
run asan
run tsan

# step NAME SCRIPT: runs a script whose last line says "NAME: N passed, N failed" and adds its counts.
step() {
    local name=$1 script=$2 log line
    echo "=== $name"
    log=$(mktemp)
    "$script" 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" = 0 ] || status=1
    if line=$(grep -E "^$name: [0-9]+ passed, [0-9]+ failed" "$log" | tail -n 1); [ -n "$line" ]; then
        passed=$((passed + $(sed -E "s/$name: ([0-9]+) passed.*/\1/" <<<"$line")))
        failed=$((failed + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$line")))
    else
        status=1
    fi
    rm -f "$log"
}

step format scripts/check-format.sh
step fuzz scripts/run-fuzz.sh
# The installed files as clients see them: the default build installed into a staging prefix and with
# DESTDIR, and (as root) the Debian packages built, installed and removed again.
step install scripts/test-install.sh

echo "all configurations: $passed passed, $failed failed"
exit $status
