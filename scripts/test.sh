#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# portable code natively (with sanitizers), and the Windows programs under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_tools

cmake -S "$ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON >/dev/null
cmake --build "$NATIVE_BUILD" -j"$(nproc)"
build_windows

trap cleanup_wine EXIT
ensure_display
ensure_prefix test
start_wineserver

status=0
echo "== Native tests, with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
ctest --test-dir "$NATIVE_BUILD" --output-on-failure -j"$(nproc)" || status=1
"$ROOT/scripts/fuzz.sh" 60 || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$WIN_BUILD" --output-on-failure -j"$(nproc)" || status=1
"$ROOT/scripts/soak.sh" 1 || status=1
echo "== The package: the README's build commands, the zip and the demo run from it"
"$ROOT/scripts/package-test.sh" || status=1
exit $status
