#!/usr/bin/env bash
# The headless demo: on a private Xvfb display, starts the quote service
# (simulated market) and lets demo.exe drive Quorvane in a ready-to-run
# folder as a user would: stream for a while, hover over the line, export,
# take pictures of both windows, close. Exits non-zero if a step failed.
#
#   scripts/demo.sh [FOLDER] [OUTDIR]     (defaults: dist/Quorvane, build/demo)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
FOLDER=$(realpath "${1:-$ROOT/dist/Quorvane}")
OUT=${2:-$ROOT/build/demo}
SECONDS_TO_STREAM=${DEMO_SECONDS:-20}
export WINEPREFIX=${DEMO_PREFIX:-$ROOT/build/demo-prefix}
DEMO_EXE=$WIN_BUILD/bin/demo.exe
PORT=$(sed -n 's/^QUOTE_HOST:STRING=.*:\([0-9]*\)$/\1/p' "$WIN_BUILD/CMakeCache.txt")
PORT=${PORT:-80}

[ -x "$DEMO_EXE" ] || build_windows
rm -rf "$OUT"
mkdir -p "$OUT"
OUT=$(realpath "$OUT")

SERVICE_PID=""
finish() {
    [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null || true
    cleanup_wine
}
trap finish EXIT
FORCE_XVFB=1 ensure_display
ensure_prefix test
start_wineserver

cd "$FOLDER"
wine quote_service.exe --log "$(winepath -w "$OUT/quote_service.log")" </dev/null >"$OUT/quote_service.out" 2>&1 &
SERVICE_PID=$!
for _ in $(seq 150); do
    grep -qs "listening on" "$OUT/quote_service.out" && break
    if grep -qs "cannot listen" "$OUT/quote_service.out"; then
        echo "The quote service cannot listen on port $PORT: another program holds it." >&2
        exit 1
    fi
    sleep 0.1
done

status=0
wine "$DEMO_EXE" "$(winepath -w "$FOLDER")" "$(winepath -w "$OUT")" "$SECONDS_TO_STREAM" || status=$?
for picture in dialog chart; do
    if [ -f "$OUT/$picture.bmp" ]; then
        convert "$OUT/$picture.bmp" "$OUT/$picture.png" && rm "$OUT/$picture.bmp"
    fi
done
echo "Pictures: $OUT/dialog.png $OUT/chart.png"
echo "Exports:  $FOLDER/Stocks/"
echo "Quote service log: $OUT/quote_service.log"
exit $status
