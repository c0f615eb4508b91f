#!/usr/bin/env bash
# Rows and wall seconds of vantrel-cli (one thread, seed 1) beside the best known covering-array
# sizes, for every target of the search: the classic table within 60 s, strength 3 on the
# published constrained models within 100 s, pairwise on them within 10 s, 10^50 with 5 s of
# compaction, and the Apache model at strength 3 within 30 s. docs/benchmarks.md holds the figures.
#
#   bash bench/best-known.sh [path/to/vantrel-cli] [--only PATTERN]
#
# PATTERN (an extended regular expression) picks the lines by their name. The constrained
# models come from bench/models (or $VANTREL_MODELS). Needs GNU time (Debian package "time").
# The whole run takes about 30 minutes; run nothing else beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build-bench/cli/vantrel-cli
only=.
while (($#)); do
    case $1 in
        --only) only=$2; shift 2 ;;
        *) cli=$1; shift ;;
    esac
done
models=${VANTREL_MODELS:-bench/models}
[[ -x /usr/bin/time ]] || { echo "GNU time is needed: apt-get install time" >&2; exit 2; }
[[ -x $cli ]] || { echo "no $cli: cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-bench vantrel-cli" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A model text of the configuration "L1^k1 L2^k2 ...": k1 factors of L1 levels, then ...
design() {
    local file="$work/$1.txt" f=1 part levels count
    : > "$file"
    for part in ${1//_/ }; do
        levels=${part%^*}
        count=${part#*^}
        for ((i = 0; i < count; ++i, ++f)); do echo "F$f: $(seq -f 'v%g' -s ', ' 1 "$levels")"; done >> "$file"
    done
    echo "$file"
}

# One generation: name, best known, its source, the target (most rows), the most seconds,
# then vantrel-cli generate's arguments.
run() {
    local name=$1 best=$2 source=$3 target=$4 most=$5
    shift 5
    [[ $name =~ $only ]] || return 0
    /usr/bin/time -f '%e' -o "$work/time" "$cli" generate "$@" --seed 1 --threads 1 > "$work/out" 2> "$work/err"
    local rows seconds verdict
    rows=$(($(wc -l < "$work/out") - 1))
    seconds=$(< "$work/time")
    verdict=met
    ((rows <= target)) || verdict="gap $((rows - target))"
    awk -v s="$seconds" -v m="$most" 'BEGIN { exit !(s > m) }' && verdict="$verdict, over time"
    printf '%-36s %6s %-26s %6d %6d %8.2f s %7.2f s  %s\n' "$name" "$best" "$source" "$target" "$rows" "$seconds" "$most" "$verdict"
}

printf '%-36s %6s %-26s %6s %6s %10s %9s  %s\n' line "best" "source" target rows time "at most" verdict
# The classic table within 60 s: within 10 % of the best known, equal where it is the optimum.
while read -r t config best source target; do
    run "t=$t $config --time 60" "$best" "$source" "$target" 63 "$(design "$config")" --strength "$t" --time 60
done <<'TABLE'
2 3^13 15 optimum 15
2 3^100 22 Colbourn-tables 25
2 3^500 29 Colbourn-tables 32
2 5^50 53 Colbourn-tables 59
2 10^20 155 Colbourn-tables 171
2 10^100 213 Colbourn-tables 235
2 4^15_3^17_2^29 28 published-mixed 28
2 4^1_3^39_2^35 20 published-mixed 22
2 2^1000 14 optimum 14
3 2^20 18 optimum 18
3 2^100 33 Colbourn-tables 37
3 3^20 59 Colbourn-tables 65
3 4^10 100 Colbourn-tables 110
3 5^10 185 Colbourn-tables 204
3 6^6 258 Colbourn-tables 284
4 2^20 39 Colbourn-tables 43
4 3^10 159 Colbourn-tables 175
TABLE
# Strength 3 on the published constrained models: at most FastCA's 100 s sizes, within budget.
for model in "apache-full 141" "gcc-full 79" "spinv-full 196"; do
    read -r name target <<< "$model"
    run "$name t=3 --time 100" "$target" FastCA-100s "$target" 105 "$models/$name.test" --strength 3 --time 100
done
# Pairwise on them within 10 s: at most the smallest published size.
for model in "spins 19" "spinv 31" "syn29 25" "apache-full 30" "gcc-full 16" "spinv-full 31"; do
    read -r name target <<< "$model"
    run "$name t=2 --time 10" "$target" smallest-published "$target" 10.5 "$models/$name.test" --time 10
done
run "10^50 --compact 5" 250 best-open-tool 249 1000 "$(design "10^50")" --compact 5
run "apache-full t=3 --time 30" 141 FastCA-100s 1000 31.5 "$models/apache-full.test" --strength 3 --time 30
