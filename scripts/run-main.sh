#!/usr/bin/env bash
# Installs what is needed, builds, and runs TalvoScan against three simulated scanners (COM5, COM6,
# COM7) that scan a live barcode every few seconds. On a desktop (DISPLAY or WAYLAND_DISPLAY set) the
# window opens and the program runs until you end it (Ctrl+Q, or `TalvoScan --quit`). Without a display
# it runs under Xvfb with the screenshot tour: the program ticks every scanner on its Connect page,
# presses "Connect", waits until all three read "Connected", saves a PNG of every page into a folder
# that it prints, and ends by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/install-deps.sh; fi
cmake --preset default >/dev/null
cmake --build --preset default --target zt-sim TalvoScan

work=$(mktemp -d /tmp/zt-main-XXXXXX)
portdir="$work/ports"
sim_out="$work/sim.out"
commands="$work/commands"
sim=""
scanner=""
cleanup() {
    [ -n "$scanner" ] && kill -TERM "$scanner" 2>/dev/null || true
    [ -n "$sim" ] && kill -TERM "$sim" 2>/dev/null || true
    wait 2>/dev/null || true
    exec 3>&- 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# waits up to $1 tenths of a second for the pattern $2 in the file $3
wait_for() {
    local tries=$1 pattern=$2 file=$3
    for _ in $(seq "$tries"); do grep -q -- "$pattern" "$file" 2>/dev/null && return 0; sleep 0.1; done
    echo "timed out waiting for '$pattern' in $file" >&2
    return 1
}

# The simulator reads its line commands from a FIFO that this script keeps open for writing.
mkfifo "$commands"
exec 3<>"$commands"
build/default/tools/zt-sim/zt-sim --dir "$portdir" --ports 5,6,7 --records 12 <&3 >"$sim_out" &
sim=$!
wait_for 100 '^ready' "$sim_out"

# The device search reads the pairings from a registry file.
{
    echo 'Windows Registry Editor Version 5.00'
    for port in 5 6 7; do
        printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth\\device\\025a5400000%s]\n' "$port"
        printf '"name"="ZT-550 0000%s"\n' "$port"
        printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0001025a5400000%s]\n' "$port"
        printf '"Port"="COM%s:"\n' "$port"
    done
} >"$work/registry.reg"
export ZT_PORT_DIR="$portdir" ZT_REGISTRY="$work/registry.reg"

# A live barcode every three seconds, from each scanner in turn (a scanner not yet connected drops it).
(
    n=0
    while sleep 3; do
        port=$((5 + n % 3)); n=$((n + 1))
        printf 'scan %s 40063813%05d\n' "$port" "$n" >&3 || exit 0
    done
) &
scanner=$!

talvoscan=build/default/app/shell/TalvoScan
mkdir "$work/data"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "=== TalvoScan: tick the scanners on the Connect page and press Connect; Ctrl+Q ends it"
    "$talvoscan" --data-dir "$work/data"
    exit 0
fi

shots=$(mktemp -d /tmp/talvoscan-screenshots-XXXXXX)
# Settings and the single-instance socket of this run stay apart from the user's own.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
echo "=== TalvoScan under Xvfb, screenshot tour into $shots"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" "$talvoscan" --data-dir "$work/data" --screenshot-tour "$shots" \
    --tour-timeout 30 || status=$?
echo "=== screenshots of every page: $shots"
ls -1 "$shots"
echo "=== TalvoScan ended with status $status"
[ "$status" = 0 ]
