#!/usr/bin/env bash
# `kestrix-probe cut --count` against `wc -w` on the largest book, side by side:
# median wall time of 9 runs each and their ratio.
set -euo pipefail
probe=${PROBE:-./tools/kestrix-probe}
[ -x "$probe" ] || { echo "no $probe: build it first" >&2; exit 1; }
book=$(ls -S "$(dirname "$0")"/../../shared/corpus/*.txt | head -1)
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
timeit() {
    for _ in 1 2 3 4 5 6 7 8 9; do
        s=$(date +%s%N); "$@" >/dev/null; e=$(date +%s%N)
        echo $(( (e - s) / 1000 ))
    done | median
}
probe_us=$(timeit "$probe" cut --count "$book")
wc_us=$(timeit wc -w "$book")
echo "cut --count: ${probe_us} us median; wc -w: ${wc_us} us median; ratio $(awk "BEGIN {printf \"%.2f\", $probe_us / $wc_us}")"
