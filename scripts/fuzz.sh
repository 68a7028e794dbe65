#!/usr/bin/env bash
# Fuzzes the two readers of outside input, the stock list and the quote
# files, with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer:
# each target for SECONDS (default 60), one after the other. Works on a copy
# of the committed seeds in build/fuzz/<target>/corpus, which grows from run
# to run; the repository is only read. Fails on any crash, sanitizer report
# or broken invariant, and leaves the input that did it in
# build/fuzz/<target>/artifacts.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds=${1:-60}
FUZZ_BUILD=${FUZZ_BUILD:-$ROOT/build/fuzz}

ensure_tools

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_FUZZ=ON >/dev/null
cmake --build "$FUZZ_BUILD" -j"$(nproc)" --target stock_list_fuzzer quote_file_fuzzer

# The targets read and write their files in scratch folders, here in one of
# the run's own (in memory where there is one), which also takes whatever a
# crashed target leaves behind.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
TMPDIR=$(mktemp -d "$shm/quorvane-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

status=0
for target in stock_list quote_file; do
    echo "== Fuzzing the $target reader for ${seconds} s"
    # Absolute paths: a target works in its scratch folder.
    work=$FUZZ_BUILD/$target
    mkdir -p "$work/corpus" "$work/artifacts"
    for inputs in "$ROOT/tests/fuzz/corpus/$target" "$ROOT/tests/fuzz/regressions/$target"; do
        if [ -d "$inputs" ]; then cp -r "$inputs/." "$work/corpus/"; fi
    done
    log=$work/fuzz.log
    if "$FUZZ_BUILD/bin/${target}_fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" >"$log" 2>&1; then
        grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log"
    else
        status=1
        tail -n 40 "$log"
        echo "FAILED: the $target reader; the input is in $work/artifacts:"
        ls -t "$work/artifacts" | head -n 3
        echo "Keep it as tests/fuzz/regressions/$target/<name> once the fault is fixed."
    fi
done
exit $status
