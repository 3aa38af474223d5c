#!/usr/bin/env bash
# Instructions per tick of a runner under callgrind: the same run with TICKS
# ticks and with none after the warm-up, the difference divided by TICKS.
#
#   bench/count_instructions.sh RUNNER MODE [TICKS] [OUT_DIR]
#
# RUNNER is tick_runner or floor_runner (any program that takes MODE TICKS);
# prints the instructions per tick with one decimal. The callgrind files stay
# in OUT_DIR (default: a temporary folder, removed afterwards) for
# callgrind_annotate.
set -euo pipefail
runner=$1
mode=$2
ticks=${3:-20000}
out=${4:-}
if [[ -z $out ]]; then
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out"
name=$(basename "$runner").$mode
collected() {
    valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.$name.$1.out" \
        "$runner" "$mode" "$1" >/dev/null 2>"$out/callgrind.$name.$1.log"
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/callgrind.$name.$1.log"
}
base=$(collected 0)
with=$(collected "$ticks")
awk -v base="$base" -v with="$with" -v ticks="$ticks" 'BEGIN { printf "%.1f\n", (with - base) / ticks }'
