#!/usr/bin/env bash
# Builds the Windows programs and runs the benchmarks under Wine, in a Wine
# prefix of their own, and prints one table: each case the straightforward
# way and ours, measured side by side in the same run. Times are medians of
# repeated runs; processor shares are read from /proc over IDLE_SECONDS (30)
# for the program and for the wineserver of the benchmarks' prefix.
#
# The machine's other load shows in every figure: run it on a quiet machine,
# or more than once. It takes about six minutes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
export WINEPREFIX=${BENCH_PREFIX:-$WIN_BUILD/bench-wineprefix}
IDLE_SECONDS=${IDLE_SECONDS:-30}

ensure_tools
if [ ! -f "$WIN_BUILD/CMakeCache.txt" ]; then build_windows >/dev/null; fi
cmake --build "$WIN_BUILD" -j"$(nproc)" --target chart_bench export_bench load_bench idle_bench >/dev/null

trap cleanup_wine EXIT
FORCE_XVFB=1 ensure_display
ensure_prefix test
start_wineserver

BIN=$WIN_BUILD/bin
ROWS=()
STATUS=0

# Runs one benchmark program and keeps the rows it prints.
run_bench() {
    local output
    if ! output=$(wine "$BIN/$1.exe" 2>&1); then
        echo "$1 failed:" >&2
        STATUS=1
    fi
    while IFS= read -r line; do
        line=${line%$'\r'}  # the C runtime's text mode: CR LF
        case $line in
            ROW\|*) ROWS+=("${line#ROW|}") ;;
            *) [ -n "$line" ] && echo "$1: $line" >&2 ;;
        esac
    done <<<"$output"
}

# utime + stime of a process, in clock ticks; the fields after the command
# name, which may hold blanks, counted from the state (field 3).
cpu_ticks() {
    local line rest
    read -r line <"/proc/$1/stat" || return 1
    rest=${line##*) }
    set -- $rest
    echo $((${12} + ${13}))
}

# The Linux process of this prefix whose command line names $1.
find_process() {
    local p
    for p in /proc/[0-9]*; do
        grep -qazF "$1" "$p/cmdline" 2>/dev/null || continue
        grep -qazxF "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null || continue
        echo "${p#/proc/}"
        return 0
    done
    return 1
}

find_wineserver() {
    local p
    for p in /proc/[0-9]*; do
        case $(cat "$p/comm" 2>/dev/null) in wineserver*) ;; *) continue ;; esac
        grep -qazxF "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null || continue
        echo "${p#/proc/}"
        return 0
    done
    return 1
}

percent() { awk -v t="$1" -v hz="$(getconf CLK_TCK)" -v s="$2" 'BEGIN { printf "%.1f", 100 * t / hz / s }'; }

# Drives idle_bench: for each state it announces, the processor time of the
# program and of the wineserver over IDLE_SECONDS.
declare -A SHARE
run_idle() {
    local control state_line n name program exe pid server p0 s0 p1 s1 t0 t1 seconds
    control=$(mktemp -d "$WIN_BUILD/idle-control.XXXXXX")
    server=$(find_wineserver) || { echo "no wineserver for $WINEPREFIX" >&2; STATUS=1; return; }
    (cd "$control" && wine "$BIN/idle_bench.exe" >"$control/log" 2>"$control/errors") &
    local driver=$!
    n=0
    while :; do
        n=$((n + 1))
        while [ ! -e "$control/ready-$n" ]; do
            if ! kill -0 "$driver" 2>/dev/null; then break 2; fi
            sleep 0.5
        done
        state_line=$(grep "^STATE $n " "$control/log")
        read -r _ _ name program <<<"${state_line%$'\r'}"  # the C runtime's text mode: CR LF
        exe=Quorvane.exe
        [ "$program" = ours ] || exe=straight_loop.exe
        pid=$(find_process "$exe") || { echo "no process for $exe" >&2; STATUS=1; touch "$control/done-$n"; continue; }
        t0=$(date +%s.%N); p0=$(cpu_ticks "$pid"); s0=$(cpu_ticks "$server")
        sleep "$IDLE_SECONDS"
        t1=$(date +%s.%N); p1=$(cpu_ticks "$pid"); s1=$(cpu_ticks "$server")
        seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
        SHARE[$name,$program]="$(percent $((p1 - p0 + s1 - s0)) "$seconds")|$(percent $((p1 - p0)) "$seconds")|$(percent $((s1 - s0)) "$seconds")"
        touch "$control/done-$n"
    done
    if ! wait "$driver"; then
        echo "idle_bench: a state's set-up failed:" >&2
        cat "$control/errors" >&2
        STATUS=1
    fi
    rm -rf "$control"
}

idle_row() {
    local label=$1 state=$2 target=$3 s o ratio s_all s_prog s_server o_all o_prog o_server
    IFS='|' read -r s_all s_prog s_server <<<"${SHARE[$state,straightforward]:-?|?|?}"
    IFS='|' read -r o_all o_prog o_server <<<"${SHARE[$state,ours]:-?|?|?}"
    s="$s_all% ($s_prog + $s_server)"
    o="$o_all% ($o_prog + $o_server)"
    ratio=$(awk -v a="$s_all" -v b="$o_all" 'BEGIN { if (b > 0) printf "%.1fx", a / b }')
    ROWS+=("$label|$s|$o|$ratio|$target")
}

echo "Running the chart benchmark..." >&2
run_bench chart_bench
echo "Running the export benchmark..." >&2
run_bench export_bench
echo "Running the load benchmark..." >&2
run_bench load_bench
echo "Measuring processor shares, ${IDLE_SECONDS} s per state..." >&2
run_idle
idle_row "CPU share: idle (streaming off, dialog open)" idle "of one core (program + wineserver); target: ours <= straightforward"
idle_row "CPU share: chart open, 100000 ticks, cursor on the line" chart "target: ours <= 25% of one core"
idle_row "CPU share: download cycle waiting (chart closed)" cycle "reported"

echo
echo "| Case | Straightforward | Ours | Ratio | Notes |"
echo "|---|---|---|---|---|"
for row in "${ROWS[@]}"; do
    echo "| ${row//|/ | } |"
done
echo
echo "Wine $(wine --version 2>/dev/null), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
exit $STATUS
