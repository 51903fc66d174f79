#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop would: the entry, the
# metadata, the file type, the thumbnailer, the man pages against --help, and that the installed
# renderer draws the very bytes the build tree draws.
# Usage: check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/glyphwerk-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FEHLER: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
id=de.zarbo.Glyphwerk
for f in bin/glyphwerk-render share/glyphwerk/glyphwerk-fonts.conf share/glyphwerk/tex01-gold.gif \
    share/glyphwerk/zarbox.html share/glyphwerk/zarbox-en.html share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/mime/packages/$id.xml share/thumbnailers/glyphwerk.thumbnailer \
    share/man/man1/glyphwerk.1 share/man/man1/glyphwerk-render.1 \
    share/man/de/man1/glyphwerk.1 share/man/de/man1/glyphwerk-render.1 \
    share/icons/hicolor/scalable/apps/$id.svg share/bash-completion/completions/glyphwerk-render \
    share/zsh/vendor-completions/_glyphwerk-render share/locale/en/LC_MESSAGES/glyphwerk.mo; do
    [[ -f $prefix/$f ]] || fail "$f fehlt"
done
for size in 16 22 24 32 48 64 128 256; do
    [[ -f $share/icons/hicolor/${size}x$size/apps/$id.png ]] || fail "Symbol ${size}x$size fehlt"
done

desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
grep -q '^MimeType=application/x-glyphwerk;' "$share/applications/$id.desktop" ||
    fail "der Eintrag nennt den Dateityp nicht"

# The file type: the database builds from our package and knows the name and the magic.
XDG_DATA_DIRS=$share update-mime-database "$share/mime"
grep -q 'application/x-glyphwerk:\*\.zgw' "$share/mime/globs2" || fail "*.zgw fehlt in globs2"
grep -aq 'ZEF-LOR Zarbo-Glyphwerk 2.1' "$share/mime/magic" || fail "die Kennung fehlt in magic"

# The installed renderer, run from elsewhere, finds its data and draws what the build tree draws.
render=(--text 'Install\nTest' --edge 3 --shadow 2 --frame 1 --envelope 7
    --set SurfaceFrame1.Texture0Check=1 --set SurfaceFrame2.Texture0Check=1)
"$build/bin/glyphwerk-render" "${render[@]}" -o "$work/build.png" --save "$work/build.zgw"
(cd / && "$prefix/bin/glyphwerk-render" "${render[@]}" -o "$work/installed.png" \
    --save "$work/installed.zgw")
cmp "$work/build.png" "$work/installed.png" || fail "das installierte Programm zeichnet anders"
cmp "$work/build.zgw" "$work/installed.zgw" || fail "das installierte Programm speichert anders"

# The thumbnailer as a file manager calls it: an output name without extension, a size.
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/glyphwerk.thumbnailer")
exec_line=${exec_line//%s/128}
exec_line=${exec_line//%o/$work/thumb}
exec_line=${exec_line//%i/$work/build.zgw}
read -r -a thumbnail <<<"$exec_line"
thumbnail[0]=$prefix/bin/${thumbnail[0]}
"${thumbnail[@]}"
size=$(od -An -tu1 -j16 -N8 "$work/thumb" | tr -s ' ')
[[ $(head -c 8 "$work/thumb" | od -An -tx1 | tr -d ' ') == 89504e470d0a1a0a ]] ||
    fail "das Vorschaubild ist kein PNG"
read -r w3 w2 w1 w0 h3 h2 h1 h0 <<<"$size"
width=$(((w3 << 24) | (w2 << 16) | (w1 << 8) | w0)) height=$(((h3 << 24) | (h2 << 16) | (h1 << 8) | h0))
((width == 128 && height == 56)) || fail "das Vorschaubild misst ${width}x$height statt 128x56"

# Each language's man pages render without a warning and name every option that --help names in
# that language, and every preset name that --list names in German (accepted in every language);
# --version tells the project's version.
command -v man >/dev/null || fail "man fehlt (Paket man-db; scripts/install-deps.sh installiert es)"
for pages in "en:man1" "de:de/man1"; do
    language=${pages%%:*} section=$share/man/${pages#*:}
    for program in glyphwerk-render glyphwerk; do
        [[ -x $prefix/bin/$program ]] || continue
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' man --warnings -l "$section/$program.1" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "$section/$program.1 gibt Warnungen aus: $warnings"
        [[ $("$prefix/bin/$program" --version) == "$program $version" ]] ||
            fail "$program --version nennt nicht $version"
        page=$(sed 's/\\//g' "$section/$program.1")
        for option in $(LANGUAGE=$language "$prefix/bin/$program" --help |
            grep -oE '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | sort -u); do
            grep -qF -- "$option" <<<"$page" || fail "$section/$program.1 beschreibt $option nicht"
        done
    done
    page=$(sed 's/\\//g' "$section/glyphwerk-render.1")
    for kind in envelopes edges shadows frames; do
        while read -r entry; do
            grep -qF -- "$entry" <<<"$page" ||
                fail "$section/glyphwerk-render.1 nennt die Vorlage $entry nicht"
        done < <(LANGUAGE=de "$prefix/bin/glyphwerk-render" --list $kind)
    done
done
echo "Installation geprüft: $prefix"
