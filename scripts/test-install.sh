#!/usr/bin/env bash
# Installs the default build and checks the installation as its clients see it
# (tests/install/check-installed.sh): into a staging prefix whose name holds a space, then with
# DESTDIR staging. As root, also builds the Debian packages (scripts/build-packages.sh), installs
# them, checks them in /usr and removes them again (unless they were installed before).
# Needs a built build/default (cmake --preset default && cmake --build --preset default).
# Ends with "install: N passed, N failed" over all runs.
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
stage=$(mktemp -d "${TMPDIR:-/tmp}/zt330 install.XXXXXX")
trap 'rm -rf "$stage"' EXIT

count() {  # count LOG: adds the counts of check-installed.sh's last line, or one failure without it
    local line
    line=$(grep -E '^install: [0-9]+ passed, [0-9]+ failed' "$1" | tail -n 1)
    if [ -n "$line" ]; then
        passed=$((passed + $(sed -E 's/install: ([0-9]+) passed.*/\1/' <<<"$line")))
        failed=$((failed + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$line")))
    else
        failed=$((failed + 1))
    fi
}
step() {  # step NAME COMMAND...: a step that is not a check run counts one failure when it fails
    echo "--- $1"
    shift
    "$@" || { echo "--- FAILED: $*"; failed=$((failed + 1)); return 1; }
}
checked() {  # checked NAME ARGS...: check-installed.sh ARGS, counted
    echo "--- check: $1"
    shift
    tests/install/check-installed.sh "$@" 2>&1 | tee "$stage/log"
    count "$stage/log"
}

prefix="$stage/zt330 prefix"
if step "cmake --install into '$prefix'" cmake --install build/default --prefix "$prefix"; then
    checked "prefix with a space" "$prefix"
fi
destdir="$stage/dest dir"
if step "DESTDIR='$destdir' cmake --install --prefix /opt/zt330" \
        env DESTDIR="$destdir" cmake --install build/default --prefix /opt/zt330; then
    checked "DESTDIR staging" --destdir "$destdir" /opt/zt330
fi

if [ "$(id -u)" = 0 ]; then
    packages=(libzt330sdk1 libztdevsearch1 libzt330-dev talvoscan zt330-tools)
    before=$(dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null | grep -c 'install ok installed')
    install_packages() {  # the packages built, not their debug symbols
        local debs=() p
        for p in "${packages[@]}"; do debs+=("./build/packages/${p}_"*.deb); done
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${debs[@]}"
    }
    if step "scripts/build-packages.sh" scripts/build-packages.sh &&
        step "apt-get install the packages" install_packages; then
        checked "Debian packages" /usr
    fi
    if [ "$before" = 0 ]; then
        dpkg --purge "${packages[@]}" >/dev/null 2>&1 || true
    fi
fi

echo "install: $passed passed, $failed failed"
[ "$failed" = 0 ]
