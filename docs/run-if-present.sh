#!/bin/sh
# Runs a checking tool when it is installed; reports a skip (exit status 77) when it is not, so that
# a machine without the optional documentation tools still runs every other test.
# Usage: run-if-present.sh TOOL [ARGUMENT...]
tool=$1
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
fi
exec "$@"
