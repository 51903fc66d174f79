#!/usr/bin/env bash
# Installs the Debian packages Glyphwerk needs to build, run and test.
# Quick when everything is present: it asks dpkg first and calls apt-get only for what is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    # The message catalogues are extracted, joined and compiled at build time.
    gettext
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    libfreetype-dev libharfbuzz-dev libfontconfig-dev libfribidi-dev
    libgif-dev libpng-dev zlib1g-dev libjpeg62-turbo-dev libwebp-dev libcairo2-dev libpolyclipping-dev
    libgtest-dev libbenchmark-dev
    fonts-dejavu-core fonts-dejavu-extra fonts-lato
    xvfb xauth
    # The accessibility test reads the window over AT-SPI on a private session bus.
    at-spi2-core python3-pyatspi dbus-daemon dbus-bin
    # The tests read the PDF pictures and the SVGs back.
    poppler-utils librsvg2-bin
    # The install test renders the man pages of both languages.
    man-db
    # The package build works out the libraries' packages; the install test validates the desktop
    # entry, the metadata and the file type.
    dpkg-dev file
    desktop-file-utils
    appstream
    shared-mime-info
    # The shard test spreads a batch over several runs with GNU parallel.
    parallel
)
# Optional extras, installed only when asked for (the fuzzers and the comparison benchmark).
if [[ "${GLYPHWERK_EXTRAS:-}" == *fuzz* ]]; then packages+=(clang libclang-rt-14-dev); fi
if [[ "${GLYPHWERK_EXTRAS:-}" == *bench* ]]; then packages+=(imagemagick); fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installiere fehlende Pakete: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "Fehler: Pakete fehlen, und ohne root-Rechte oder sudo kann ich sie nicht installieren." >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
