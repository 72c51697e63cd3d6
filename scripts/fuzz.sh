#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for a bounded time each.
#   scripts/fuzz.sh [seconds-per-target]
# ZENTRIK_FUZZ_SEED fixes libFuzzer's seed (CI uses 1, so a run repeats what passed before);
# set it to 0 for a fresh random seed each run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
seed="${ZENTRIK_FUZZ_SEED:-1}"

shopt -s nullglob
targets=(build/fuzz/fuzz/fuzz_*)
if ((${#targets[@]} == 0)); then
    echo "no fuzz targets built (cmake --preset fuzz && cmake --build --preset fuzz)" >&2
    exit 1
fi

for target in "${targets[@]}"; do
    name=$(basename "$target")
    name=${name#fuzz_}
    corpus=$(mktemp -d)
    if [[ -d "fuzz/corpus/$name" ]]; then
        cp -r "fuzz/corpus/$name/." "$corpus/"
    fi
    echo "== $name for ${seconds}s"
    log=$(mktemp)
    status=0
    "$target" -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "$corpus" >"$log" 2>&1 || status=$?
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    if ((status != 0)); then
        tail -n 60 "$log" >&2
    fi
    rm -f "$log"
    rm -rf "$corpus"
    if ((status != 0)); then
        echo "fuzz target $name failed (exit $status)" >&2
        exit "$status"
    fi
done
