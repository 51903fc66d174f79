#!/usr/bin/env bash
# Checks that the texts for people go through the catalogue and that the English one has them
# all: every string literal of the folders below that reads like a German or user-facing text is
# marked for the catalogue (Tr, QTr, TrN, QTrN, N_), and every marked text has an English
# translation in the joined catalogue the build made.
# Usage: check-catalogue.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build=$2

# The folders whose texts all go through the catalogue; a folder joins once its texts do, and a
# file of them waits outside while its texts do not yet.
folders="src/cli src/loader src/render src/raster src/platform src/document src/ui src/editing src/app"
waiting=""

# Literals that read like texts but are none, each with its reason.
exceptions=(
    # Font family names.
    'Arial Black'
    'Arial Narrow'
    'DejaVu Sans'
    'MS Sans Serif'
    # The about box's style sheet.
    '#Panel1 { background-color: %1; border: 2px outset %2; } #Panel1 QLabel { color: black; }'
    # For the program's developers, when the window's layout lost a control it names.
    'The window has no control %s.'
    'No control %s to name.'
    # The program's name as the PDF and SVG files name their creator.
    'Zarbo Glyphwerk'
    # The version line of --version, the same in every language.
    'glyphwerk-render %s\n'
    # The first lines of the document file and of the record of a save, the same in every
    # language.
    'ZEF-LOR Zarbo-Glyphwerk 2.1'
    'glyphwerk commit 1'
    # A line of /proc/meminfo read back.
    'MemAvailable: %llu kB'
    # An instruction for the processor.
    'fistpll %0'
    # Handed on in German, as code compares them, and marked beside a check that they stay the
    # same (platform/AllocationLimit.cpp, document/Lettering.cpp).
    'Fehler: nicht genug Speicher für diese Operation!'
    'Der Text ist zu lang: ein Schriftzug fasst höchstens 1 MiB Text.'
)

work=$(mktemp -d "${TMPDIR:-/tmp}/glyphwerk-catalogue.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$source_dir"
# shellcheck disable=SC2086
mapfile -t files < <(find $folders -name '*.cpp' -o -name '*.h' | grep -vxF "${waiting// /$'\n'}" | sort)
common=(--language=C++ --from-code=UTF-8 --no-wrap --sort-by-file)
# xgettext's warnings (an empty literal, a \r) concern the extraction of all literals only.
xgettext "${common[@]}" --extract-all -o "$work/all.pot" "${files[@]}" 2>/dev/null
xgettext "${common[@]}" --keyword --keyword=Tr --keyword=QTr --keyword=N_ --keyword=TrN:1,2 \
    --keyword=QTrN:1,2 -o "$work/marked.pot" "${files[@]}"
printf '%s\n' "${exceptions[@]}" >"$work/exceptions"

# Each literal as "file<TAB>line<TAB>text", from the references of the template.
places() {
    awk '
        function emit() {
            if (text != "") for (i = 1; i <= n; ++i) {
                split(refs[i], at, ":"); print at[1] "\t" at[2] "\t" text
            }
            text = ""
        }
        /^#: / { for (i = 2; i <= NF; ++i) refs[++n] = $i; next }
        /^msgid(_plural)? "/ {
            emit(); inText = 1
            s = $0; sub(/^msgid(_plural)? "/, "", s); sub(/"$/, "", s); text = s; next
        }
        /^"/ { if (inText) { s = $0; sub(/^"/, "", s); sub(/"$/, "", s); text = text s }; next }
        /^msgstr/ { if (inText) emit(); inText = 0; n = 0 }' "$1"
}
places "$work/marked.pot" | cut -f1,3 | sort -u >"$work/marked"
places "$work/all.pot" | sort -u >"$work/all"

# A literal is marked when its file marks the same text (a plural stands a line below its call).
# A text for people has two words, or a word with a German letter, once the escapes and the format
# places are taken out; shell code is none.
awk -F '\t' -v marked="$work/marked" -v exceptions="$work/exceptions" '
    BEGIN {
        while ((getline line < marked) > 0) known[line] = 1
        while ((getline line < exceptions) > 0) skip[line] = 1
    }
    {
        if (($1 "\t" $3) in known || $3 in skip) next
        text = $3
        gsub(/\\[nrt"\\]/, " ", text)
        gsub(/%[-+ #0-9.*]*(hh|h|ll|l|L|z|j|t)?[a-zA-Z]|%[1-9]/, "", text)
        if (text ~ /[$]|;;|_files|_arguments/) next
        letter = "([A-Za-z]|ä|ö|ü|Ä|Ö|Ü|ß)"
        german = text ~ (letter letter) && text ~ /ä|ö|ü|Ä|Ö|Ü|ß/
        words = text ~ ("[A-Za-z][A-Za-z]* +" letter)
        if (german || words) { print $1 ":" $2 ": nicht im Katalog: \"" $3 "\""; ++found }
    }
    END { exit found > 0 }' "$work/all" || {
    echo "FEHLER: Texte außerhalb des Katalogs (Tr, N_ ... oder eine Ausnahme in $0)" >&2
    exit 1
}

# Every marked text has its English translation.
if ! msgcmp "$build/po/en.po" "$work/marked.pot" 2>"$work/missing"; then
    grep -v 'this message is not used' "$work/missing" >&2
    echo "FEHLER: Texte ohne englische Übersetzung (po/en/*.po)" >&2
    exit 1
fi
echo "Katalog geprüft: ${#files[@]} Dateien"
