#!/bin/bash
# Runs every fuzz target of a libFuzzer build for a given time and prints a summary table.
#
#   tests/fuzz/fuzz-long.sh BUILD_DIR SECONDS PARALLEL [TARGET...]
#
# Each target runs on its own working corpus BUILD_DIR/fuzz-corpus/<target> (kept between runs,
# so every run starts from what the last one found) plus the committed seeds, with its
# dictionary; PARALLEL targets run side by side. The log of each run is
# BUILD_DIR/fuzz-long/<target>.log, crash inputs go to BUILD_DIR/fuzz-long/. The table gives
# executions per second, total executions, and the coverage (cov: edges, ft: features) and the
# corpus size reached; it ends non-zero when any target crashed.

set -u
build=$1
seconds=$2
parallel=$3
shift 3
list="$build/fuzz-targets.txt"
logs="$build/fuzz-long"
if [ ! -f "$list" ]; then
    echo "no fuzz targets listed in $list: build with -DTACHY_FUZZ=ON first" >&2
    exit 2
fi
mkdir -p "$logs"

run_one() {
    local name=$1 seeds=$2 dict=${3:-}
    local work="$build/fuzz-corpus/$name"
    mkdir -p "$work"
    "$build/bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 $dict -artifact_prefix="$logs/$name-" "$work" "$seeds" \
        > "$logs/$name.log" 2>&1
    echo $? > "$logs/$name.rc"
}

declare -a names=()
while read -r name seeds dict; do
    [ -z "$name" ] && continue
    if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
        continue
    fi
    names+=("$name")
    while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do
        wait -n
    done
    echo "$(date -u +%H:%M:%S) $name: ${seconds}s"
    run_one "$name" "$seeds" "$dict" &
done < "$list"
wait

failed=0
printf '\n%-22s %10s %14s %8s %8s %7s %s\n' target execs/s total-execs cov ft corpus result
for name in "${names[@]}"; do
    log="$logs/$name.log"
    rc=$(cat "$logs/$name.rc" 2>/dev/null || echo 1)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<< "$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<< "$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<< "$last")
    result=ok
    if [ "$rc" != 0 ]; then
        result="FAILED (exit $rc, see $log)"
        failed=1
    fi
    printf '%-22s %10s %14s %8s %8s %7s %s\n' "$name" "${rate:--}" "${execs:--}" "${cov:--}" \
        "${ft:--}" "${corp:--}" "$result"
done
exit $failed
