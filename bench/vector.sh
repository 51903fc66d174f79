#!/usr/bin/env bash
# The vector pictures against the PNG, each as a whole process of glyphwerk-render: the start-up
# lettering at 450 x 200 as SVG and as PNG, user + system CPU time and wall time by /usr/bin/time,
# and the size of a plain-colour lettering's SVG.
#
#   bench/vector.sh [BUILD_DIR] [RUNS]
#       default: build, 5 runs of each, taking turns so that a change in the machine's load falls
#       on both alike; every run is printed, then the medians.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
render=$build/bin/glyphwerk-render
[[ -x $render ]] || { echo "no $render: build it first" >&2; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

declare -A cpu wall
measure() {  # name, then the renderer's arguments
    local name=$1
    shift
    /usr/bin/time -f '%U %S %e' -o "$scratch/time" "$render" "$@" >/dev/null
    read -r user system elapsed <"$scratch/time"
    local total
    total=$(echo "$user + $system" | bc)
    cpu[$name]+="$total "
    wall[$name]+="$elapsed "
    printf '%-5s cpu %s s  wall %s s\n' "$name" "$total" "$elapsed"
}
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

for ((i = 0; i < runs; i++)); do
    measure png -o "$scratch/start.png"
    measure svg -o "$scratch/start.svg"
done
for name in png svg; do
    echo "$name median: cpu $(median "${cpu[$name]}") s, wall $(median "${wall[$name]}") s"
done
"$render" --text 'Schild & Co.' --color '#1a237e' --background white -o "$scratch/plain.svg"
echo "plain-colour lettering's SVG: $(stat -c %s "$scratch/plain.svg") bytes," \
    "$(grep -c '<image' "$scratch/plain.svg" || true) images"
