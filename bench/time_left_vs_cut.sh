#!/usr/bin/env bash
# `kestrix-probe time-left` against the intervals `kestrix-probe cut --speed N`
# prints, summed from the same entry to the end: every corpus text, three
# speeds, five positions each. Prints the cases that differ and a summary;
# fails when any differs.
set -euo pipefail
probe=${PROBE:-./tools/kestrix-probe}
[ -x "$probe" ] || { echo "no $probe: build it first" >&2; exit 1; }
corpus=$(dirname "$0")/../../shared/corpus
cut=$(mktemp)
trap 'rm -f "$cut"' EXIT
checked=0
differ=0
for book in "$corpus"/*.txt; do
    for speed in 0 7 17; do
        "$probe" cut --speed "$speed" "$book" | grep -v '^k1	' >"$cut"
        n=$(wc -l <"$cut")
        for position in 0 1 $((n / 3)) $((n - 1)) "$n"; do
            want=$(awk -F'\t' -v from="$position" 'NR > from { s += $4 } END { printf "%d\n", s }' "$cut")
            got=$("$probe" time-left --speed "$speed" "$book" "$position")
            checked=$((checked + 1))
            if [ "$got" != "$want" ]; then
                differ=$((differ + 1))
                echo "$(basename "$book") speed $speed position $position: time-left $got, cut $want"
            fi
        done
    done
done
echo "time-left against cut: $checked cases, $differ differ"
[ "$differ" -eq 0 ]
