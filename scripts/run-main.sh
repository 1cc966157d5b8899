#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job without any real scanner: three simulated
# scanners with stored records are started, and ztctl lists them (devices), downloads their records
# (download) and prints the barcodes that the simulator then scans live (listen).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/install-deps.sh; fi
cmake --preset default >/dev/null
cmake --build --preset default --target zt-sim ztctl

work=$(mktemp -d /tmp/zt-main-XXXXXX)
portdir="$work/ports"
sim_out="$work/sim.out"
commands="$work/commands"
sim=""
listen=""
cleanup() {
    [ -n "$listen" ] && kill -TERM "$listen" 2>/dev/null || true
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

# The device search reads the pairings from a registry file: COM5 and COM6 have names, COM7 has none.
cat >"$work/registry.reg" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Bluetooth\device\025a54000005]
"name"="ZT-550 00005"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Bluetooth\Serial\Ports\0001025a54000005]
"Port"="COM5:"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Bluetooth\device\025a54000006]
"name"="ZT-550 00006"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Bluetooth\Serial\Ports\0001025a54000006]
"Port"="COM6:"
EOF
export ZT_PORT_DIR="$portdir" ZT_REGISTRY="$work/registry.reg"
ztctl=build/default/tools/ztctl/ztctl

echo "=== ztctl devices"
"$ztctl" devices

echo "=== ztctl download 5 6 7 --out $work/data"
mkdir "$work/data"
"$ztctl" download 5 6 7 --out "$work/data"
for file in "$work/data"/*_ScanData.txt; do
    echo "--- $(basename "$file") (first 3 of $(wc -l <"$file") lines)"
    head -n 3 "$file" | tr -d '\r'
done

echo "=== ztctl listen 5 6 7 (the simulator scans four barcodes, then Ctrl-C)"
"$ztctl" listen 5 6 7 >"$work/listen.out" 2>"$work/listen.err" &
listen=$!
for port in 5 6 7; do wait_for 100 "COM$port: connected, clock set" "$work/listen.err"; done
echo "scan 5 4006381333931" >&3
printf 'scan 6 LOT-42\tQTY 7\n' >&3
echo "scan 7 https://example.com/item?id=1" >&3
echo "deleted 5 4006381333931" >&3
for _ in $(seq 100); do [ "$(wc -l <"$work/listen.out")" -ge 4 ] && break; sleep 0.1; done
kill -INT "$listen"
status=0
wait "$listen" || status=$?
listen=""
cat "$work/listen.err" >&2
cat "$work/listen.out"
echo "=== listen ended with status $status"
[ "$status" = 0 ] && [ "$(wc -l <"$work/listen.out")" -ge 4 ]
