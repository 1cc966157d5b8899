#!/bin/sh
# Formats a built manual page as man(1) shows it and fails on any warning from the formatter
# (a bad macro, a line it cannot fit, an unknown escape). Skips (exit status 77) when man is not
# installed or the page was not built (no scdoc).
page=$1
if ! command -v man >/dev/null 2>&1; then
    echo "SKIPPED: man is not installed (package man-db)"
    exit 77
fi
if [ ! -f "$page" ]; then
    echo "SKIPPED: $page was not built (scdoc is not installed)"
    exit 77
fi
warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)
status=$?
if [ "$status" -ne 0 ] || [ -n "$warnings" ]; then
    echo "man --warnings -l $page (status $status):"
    echo "$warnings"
    exit 1
fi
echo "$page: no warnings"
