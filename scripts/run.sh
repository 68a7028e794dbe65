#!/usr/bin/env bash
# Installs what is missing, builds, lays out the ready-to-run folder
# dist/Quorvane, starts the local quote service (simulated market) and
# Quorvane.exe in that folder under Wine. Without a display it runs the
# headless demo instead.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
DIST=$ROOT/dist/Quorvane
export WINEPREFIX=$ROOT/build/run-prefix

ensure_tools
build_windows
rm -rf "$DIST"
cmake --install "$WIN_BUILD" --prefix "$DIST" >/dev/null

if [ -z "${DISPLAY:-}" ]; then
    exec "$ROOT/scripts/demo.sh"
fi

SERVICE_PID=""
stop_all() {
    [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
}
trap stop_all EXIT
ensure_prefix run

cd "$DIST"
wine quote_service.exe --log quote_service.log </dev/null >/dev/null 2>&1 &
SERVICE_PID=$!
echo "Quorvane is starting in $DIST. Set the hours to stream in (1 and 24: all day) and the interval (e.g. 5), press \"Start streaming\", then \"Display window\"."
wine Quorvane.exe </dev/null >/dev/null 2>&1
