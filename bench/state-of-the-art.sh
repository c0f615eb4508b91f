#!/usr/bin/env bash
# Rows, seconds and peak memory of vantrel-cli on the hard designs (one thread, seed 1,
# 10 seconds of compaction), 2^20 at strength 3, the large designs at default settings and
# within twice a one-pass greedy tool's time, and 2^10000. docs/benchmarks.md holds the figures.
#
#   bash bench/state-of-the-art.sh [path/to/vantrel-cli]    (default: build-bench/cli/vantrel-cli)
#
# Needs GNU time (/usr/bin/time, Debian package "time"); 2^10000 needs about 600 MB of memory.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build-bench/cli/vantrel-cli}
[[ -x /usr/bin/time ]] || { echo "GNU time is needed: apt-get install time" >&2; exit 2; }
[[ -x $cli ]] || { echo "no $cli: cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-bench vantrel-cli" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A model text of `factors` factors of `levels` levels each.
uniform() {
    local levels=$1 factors=$2 file="$work/$1^$2.txt" values
    values=$(seq -f 'v%g' -s ', ' 1 "$levels")
    for ((f = 1; f <= factors; ++f)); do echo "F$f: $values"; done > "$file"
    echo "$file"
}

# One generation: its name, then vantrel-cli generate's arguments.
run() {
    local name=$1
    shift
    /usr/bin/time -f '%e %M' -o "$work/time" "$cli" generate "$@" > "$work/out" 2> "$work/err"
    local rows seconds kilobytes
    rows=$(($(wc -l < "$work/out") - 1))
    read -r seconds kilobytes < "$work/time"
    printf '%-34s %6d rows %8.2f s %7d MB\n' "$name" "$rows" "$seconds" $((kilobytes / 1024))
}

for model in spins spinv syn29; do
    run "$model --compact 10" "bench/models/$model.test" --seed 1 --threads 1 --compact 10
done
run "2^20 strength 3 --compact 10" "$(uniform 2 20)" --strength 3 --seed 1 --threads 1 --compact 10
for large in "2 1000 4.7" "3 500 1.6" "10 100 3.2"; do
    read -r levels factors budget <<< "$large"
    design=$(uniform "$levels" "$factors")
    run "$levels^$factors default" "$design" --seed 1
    run "$levels^$factors --time $budget" "$design" --seed 1 --time "$budget"
done
run "2^3000 default" "$(uniform 2 3000)" --seed 1
run "2^10000 default, one thread" "$(uniform 2 10000)" --seed 1 --threads 1
