#!/bin/sh
# Usage: with_accessibility_bus.sh BUS_LAUNCHER PROGRAM [ARGS...]
# Runs PROGRAM on a virtual X display inside a D-Bus session of its own that has the accessibility
# bus, so that Qt's accessibility bridge is active there as it is under a screen reader.
launcher=$1
shift
exec xvfb-run -a dbus-run-session -- sh -c '
  "$0" --launch-immediately &
  bus=$!
  TALVO_A11Y_ACTIVE=1 QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
  status=$?
  kill "$bus" 2>/dev/null
  exit $status' "$launcher" "$@"
