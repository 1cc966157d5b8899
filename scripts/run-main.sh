#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job: three simulated scanners are started (no real
# scanner is needed) and opened through the SDK, which shows each handshake and closes the scanner.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/install-deps.sh; fi
cmake --preset default >/dev/null
cmake --build --preset default --target zt-sim zt-probe

portdir=$(mktemp -d /tmp/zt-ports-XXXXXX)
ready=$(mktemp)
build/default/tools/zt-sim/zt-sim --dir "$portdir" --port 5 --port 6 --port 7 >"$ready" &
sim=$!
cleanup() { kill -TERM "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$portdir" "$ready"; }
trap cleanup EXIT
for _ in $(seq 100); do grep -q '^ready' "$ready" && break; sleep 0.1; done
grep -q '^ready' "$ready" || { echo "the simulator did not start" >&2; exit 1; }
cat "$ready"
ZT_PORT_DIR="$portdir" build/default/tools/zt-probe/zt-probe 5 6 7
