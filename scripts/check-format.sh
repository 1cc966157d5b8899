#!/usr/bin/env bash
# Checks every C and C++ file that git tracks against the tree's .clang-format. Prints the files that
# differ (with the first lines of the difference) and a summary line "format: N passed, N failed".
# `scripts/check-format.sh --fix` formats them in place instead.
set -uo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed (scripts/install-deps.sh installs it)"
    echo "format: 0 passed, 1 failed"
    exit 1
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
bad=0
for file in "${files[@]}"; do
    if ! clang-format "$file" | diff -q "$file" - >/dev/null; then
        echo "not formatted: $file"
        clang-format "$file" | diff -u "$file" - | head -n 12
        bad=$((bad + 1))
    fi
done
echo "${#files[@]} files checked, $bad not formatted (fix: scripts/check-format.sh --fix)"
if ((bad)); then
    echo "format: 0 passed, 1 failed"
    exit 1
fi
echo "format: 1 passed, 0 failed"
