#!/usr/bin/env bash
# Installs what is missing, builds, and starts Glyphwerk: the window where there is a display,
# otherwise the headless renderer, which draws the start-up lettering into a PNG file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/bin/glyphwerk ]]; then
    exec build/bin/glyphwerk "$@"
fi
if [[ -x build/bin/glyphwerk-render ]]; then
    mkdir -p out
    build/bin/glyphwerk-render -o out/glyphwerk-start.png "$@"
    echo "Kein Bildschirm gefunden: der Start-Schriftzug steht in $(pwd)/out/glyphwerk-start.png"
    exit 0
fi
echo "Gebaut; ein startbares Programm gibt es noch nicht (build/bin/glyphwerk, build/bin/glyphwerk-render)."
