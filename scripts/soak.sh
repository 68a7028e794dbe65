#!/usr/bin/env bash
# The soak: the real program streams 20 symbols from the simulated quote
# service at interval 0 with the chart open, for MINUTES minutes (default 10).
# It fails when handles, GDI objects or memory grow, or when an exported
# series differs from the prices that the service logged. Prints its figures.
#
#   scripts/soak.sh [MINUTES]
#
# It builds what it needs in the Windows build (WIN_BUILD, default build/win),
# and runs in a Wine prefix and on an X display of its own.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

minutes=${1:-10}
export WINEPREFIX=$WIN_BUILD/soak-wineprefix

if [ ! -f "$WIN_BUILD/CMakeCache.txt" ]; then
    ensure_tools
    cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" >/dev/null
fi
cmake --build "$WIN_BUILD" -j"$(nproc)" --target soak_tests >/dev/null

trap cleanup_wine EXIT
FORCE_XVFB=1 ensure_display
ensure_prefix test
start_wineserver

echo "== Soak: $minutes minutes, 20 symbols, interval 0, chart open"
status=0
QUORVANE_SOAK_MINUTES=$minutes wine "$WIN_BUILD/bin/soak_tests.exe" 2>&1 | sed -u 's/\r$//' |
    tee "$WIN_BUILD/soak.log" | grep --line-buffered -E '^(soak:|\[  (FAILED|PASSED)|.*Failure$)' || true
grep -q '^\[  PASSED  \] 1 test' "$WIN_BUILD/soak.log" || status=1
[ $status -eq 0 ] || { echo "Soak failed:"; cat "$WIN_BUILD/soak.log"; }
exit $status
