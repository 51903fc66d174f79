#!/usr/bin/env bash
# Times glyphwerk-render as a whole process, every effect on, against a comparable chain of
# ImageMagick's convert (text fitted to the picture, a bevel by shading, a soft shadow, a wave, a
# 3 x 3 box blur, written as PNG) at 450 x 200 and 2000 x 900, and prints the ratio.
#
#   bench/compare.sh [BUILD_DIR] [RUNS]     (default build-rel, 20 runs)
#
# Both write their PNG into a scratch folder. hyperfine is used when installed (and NO_HYPERFINE
# is unset), otherwise a loop timed with date. The minimum over the runs is the figure for a
# quiet machine; the mean is shown beside it.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-rel}
runs=${2:-20}
render=$build/bin/glyphwerk-render
[[ -x $render ]] || { echo "no $render: build the Release folder first" >&2; exit 2; }

convert=
for candidate in /usr/bin/convert-im6.q16 /usr/bin/convert /usr/bin/magick; do
    if [[ -x $candidate ]]; then convert=$candidate; break; fi
done
[[ -n $convert ]] || { echo "ImageMagick is not installed (apt-get install imagemagick)" >&2; exit 2; }

font=$(fc-match -f '%{file}' 'Lato:black' 2>/dev/null || true)
[[ -f $font ]] || font=$(fc-match -f '%{file}' 'DejaVu Sans:bold')

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Prints "min mean" in milliseconds for the command line given.
time_command() {
    if [[ -z ${NO_HYPERFINE:-} ]] && command -v hyperfine >/dev/null; then
        hyperfine --style none --warmup 2 --runs "$runs" --export-json "$scratch/t.json" \
            "$1" >/dev/null 2>"$scratch/hyperfine.err"
        local min mean
        min=$(grep -m1 '"min"' "$scratch/t.json" | sed -E 's/.*: *([0-9.eE+-]+).*/\1/')
        mean=$(grep -m1 '"mean"' "$scratch/t.json" | sed -E 's/.*: *([0-9.eE+-]+).*/\1/')
        awk -v a="$min" -v b="$mean" 'BEGIN { printf "%.1f %.1f\n", a * 1000, b * 1000 }'
    else
        local best= total=0 start stop t
        for ((i = 0; i < runs; ++i)); do
            start=$(date +%s%N)
            bash -c "$1" >/dev/null
            stop=$(date +%s%N)
            t=$(((stop - start) / 1000))
            total=$((total + t))
            if [[ -z $best || $t -lt $best ]]; then best=$t; fi
        done
        awk -v a="$best" -v b="$total" -v n="$runs" \
            'BEGIN { printf "%.1f %.1f\n", a / 1000, b / n / 1000 }'
    fi
}

printf '%-10s %22s %22s %14s\n' size 'glyphwerk min/mean ms' 'ImageMagick min/mean' 'ratio min/mean'
for size in 450x200 2000x900; do
    w=${size%x*}
    h=${size#*x}
    ours="'$render' --size $size --edge 3 --shadow 2 --frame 1 --set SinDeform=1 --envelope 7 -o '$scratch/ours.png'"
    theirs="'$convert' -size $((w * 9 / 10))x$((h * 8 / 10)) -background none -fill '#0000FF' \
-font '$font' -gravity center label:'ZEF-LOR
GbR' -write mpr:t +delete mpr:t \( mpr:t -alpha extract -blur 0x2 -shade 315x45 -auto-level \) \
-compose HardLight -composite \( mpr:t -alpha extract \) -compose CopyOpacity -composite \
-compose Over \( +clone -background black -shadow 40x3+10+10 \) +swap -background none \
-layers merge +repage -background white -gravity center -extent ${w}x${h} -wave $((h / 20))x$w \
-crop ${w}x${h}+0+0 +repage -define convolve:scale='!' -morphology Convolve Square:1 -flatten \
-depth 8 '$scratch/theirs.png'"
    read -r oursMin oursMean < <(time_command "$ours")
    read -r theirsMin theirsMean < <(time_command "$theirs")
    ratio=$(awk -v a="$oursMin" -v b="$theirsMin" -v c="$oursMean" -v d="$theirsMean" \
        'BEGIN { printf "%.1f / %.1f", b / a, d / c }')
    printf '%-10s %22s %22s %14s\n' "$size" "$oursMin / $oursMean" "$theirsMin / $theirsMean" "$ratio"
done
