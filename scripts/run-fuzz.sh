#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while (FUZZ_SECONDS, default 30)
# from the seed corpora in the repository; new inputs go to a temporary folder, never into the repo.
# Prints one line per target and a summary line "fuzz: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
if ! { cmake --preset fuzz >/dev/null && cmake --build --preset fuzz; } >/tmp/zt-fuzz-build.log 2>&1; then
    tail -n 40 /tmp/zt-fuzz-build.log
    echo "fuzz: 0 passed, 1 failed"
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
fuzz() {  # fuzz TARGET SEEDS...
    local target=$1 binary
    shift
    binary=$(find build/fuzz -type f -name "$target" | head -n 1)
    mkdir -p "$work/$target"
    if (cd "$work" && "$OLDPWD/$binary" -max_total_time="$seconds" -print_final_stats=1 "$work/$target" "$@" \
            >"$work/$target.log" 2>&1); then
        echo "fuzz $target: passed ($(grep -o 'Done [0-9]* runs' "$work/$target.log"))"
        passed=$((passed + 1))
    else
        tail -n 30 "$work/$target.log"
        echo "fuzz $target: FAILED"
        failed=$((failed + 1))
    fi
}
fuzz zt_frame_fuzz "$PWD/tests/fuzz/corpus/frames"
fuzz zt_codec_fuzz "$PWD/tests/fuzz/corpus/codecs"
fuzz zt_registry_fuzz "$PWD/tests/devsearch/fixtures"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" = 0 ]
