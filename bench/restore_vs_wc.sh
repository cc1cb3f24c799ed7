#!/usr/bin/env bash
# `kestrix-probe restore` of the largest book stored as kestrix.ini against
# `wc -w` on the same file, side by side: median wall time of 9 runs each,
# their ratio, and the probe's peak resident memory.
set -euo pipefail
probe=${PROBE:-./tools/kestrix-probe}
[ -x "$probe" ] || { echo "no $probe: build it first" >&2; exit 1; }
book=$(ls -S "$(dirname "$0")"/../../shared/corpus/*.txt | head -1)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=offscreen "$probe" store "$book" "$tmp/kestrix.ini"
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
timeit() {
    for _ in 1 2 3 4 5 6 7 8 9; do
        s=$(date +%s%N); "$@" >/dev/null; e=$(date +%s%N)
        echo $(( (e - s) / 1000 ))
    done | median
}
probe_us=$(timeit "$probe" restore "$tmp/kestrix.ini")
wc_us=$(timeit wc -w "$tmp/kestrix.ini")
peak_kb=$( { /usr/bin/time -f '%M' "$probe" restore "$tmp/kestrix.ini" >/dev/null; } 2>&1 | tail -1)
echo "restore: ${probe_us} us median, peak ${peak_kb} KiB; wc -w: ${wc_us} us median;" \
     "ratio $(awk "BEGIN {printf \"%.2f\", $probe_us / $wc_us}"); load $(cut -d' ' -f1-3 /proc/loadavg)"
