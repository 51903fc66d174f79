#!/usr/bin/env bash
# Times glyphwerk-render as a whole process, every effect on, against a comparable chain of
# ImageMagick's convert (text fitted to the picture, a bevel by shading, a soft shadow, a wave, a
# 3 x 3 box blur, written as PNG) at 450 x 200, 2000 x 900 and 4000 x 1800, and prints the ratio.
#
#   bench/compare.sh [BUILD_DIR] [RUNS] [SIZES]
#       default: build-rel, 15 runs, "450x200 2000x900 4000x1800"
#
# Each run is one process started by hyperfine -N, without a shell around it. The two commands
# take turns, one run each, so that a change in the machine's load falls on both alike; the
# figure is the median of the runs (the minimum is shown beside it). Both write their PNG into a
# scratch folder.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-rel}
runs=${2:-15}
sizes=${3:-450x200 2000x900 4000x1800}
render=$build/bin/glyphwerk-render
[[ -x $render ]] || { echo "no $render: build the Release folder first" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is not installed (apt-get install hyperfine)" >&2; exit 2; }

convert=
for candidate in /usr/bin/convert-im6.q16 /usr/bin/convert /usr/bin/magick; do
    if [[ -x $candidate ]]; then convert=$candidate; break; fi
done
[[ -n $convert ]] || { echo "ImageMagick is not installed (apt-get install imagemagick)" >&2; exit 2; }

font=$(fc-match -f '%{file}' 'Lato:black' 2>/dev/null || true)
[[ -f $font ]] || font=$(fc-match -f '%{file}' 'DejaVu Sans:bold')

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One run of the command line given (split into words by hyperfine, no shell); prints its wall
# time in milliseconds.
time_once() {
    hyperfine -N --style none --runs 1 --export-json "$scratch/t.json" "$1" >/dev/null \
        2>"$scratch/hyperfine.err" || { cat "$scratch/hyperfine.err" >&2; exit 1; }
    grep -m1 '"mean"' "$scratch/t.json" | sed -E 's/.*: *([0-9.eE+-]+).*/\1/' |
        awk '{ printf "%.2f\n", $1 * 1000 }'
}

# "median min" of the numbers on standard input.
median_min() {
    sort -g | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f\n", m, v[1] }'
}

printf '%-10s %24s %24s %8s\n' size 'glyphwerk median/min ms' 'ImageMagick median/min' ratio
for size in $sizes; do
    w=${size%x*}
    h=${size#*x}
    ours="'$render' --size $size --edge 3 --shadow 2 --frame 1 --set SinDeform=1 --envelope 7 -o '$scratch/ours.png'"
    theirs="'$convert' -size $((w * 9 / 10))x$((h * 8 / 10)) -background none -fill '#0000FF' \
-font '$font' -gravity center 'label:ZEF-LOR
GbR' -write mpr:t +delete mpr:t ( mpr:t -alpha extract -blur 0x2 -shade 315x45 -auto-level ) \
-compose HardLight -composite ( mpr:t -alpha extract ) -compose CopyOpacity -composite \
-compose Over ( +clone -background black -shadow 40x3+10+10 ) +swap -background none \
-layers merge +repage -background white -gravity center -extent ${w}x${h} -wave $((h / 20))x$w \
-crop ${w}x${h}+0+0 +repage -define convolve:scale='!' -morphology Convolve Square:1 -flatten \
-depth 8 '$scratch/theirs.png'"
    # One run of each first: the files they read are then in the page cache for every timed run.
    time_once "$ours" >/dev/null
    time_once "$theirs" >/dev/null
    : >"$scratch/ours.txt"
    : >"$scratch/theirs.txt"
    for ((i = 0; i < runs; ++i)); do
        time_once "$ours" >>"$scratch/ours.txt"
        time_once "$theirs" >>"$scratch/theirs.txt"
    done
    read -r oursMedian oursMin < <(median_min <"$scratch/ours.txt")
    read -r theirsMedian theirsMin < <(median_min <"$scratch/theirs.txt")
    ratio=$(awk -v a="$oursMedian" -v b="$theirsMedian" 'BEGIN { printf "%.1f", b / a }')
    printf '%-10s %24s %24s %8s\n' "$size" "$oursMedian / $oursMin" "$theirsMedian / $theirsMin" \
        "$ratio"
done
