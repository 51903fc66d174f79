#!/usr/bin/env bash
# Installs what is missing, then configures and builds Glyphwerk into build/ (Release, warnings
# are errors).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHWERK_WERROR=ON "$@" >/dev/null
cmake --build build
