#!/usr/bin/env bash
# Checks the Debian packages as a packager would: what each one holds and leaves to the others,
# what each one needs, that the renderer pulls in no Qt, and that lintian has nothing to say
# beyond notes. Run by hand after `dpkg-buildpackage -b -us -uc`.
# Usage: check-packages.sh [FOLDER]   (where the .deb files are; the parent folder by default)
set -euo pipefail
dir=${1:-..}
work=$(mktemp -d "${TMPDIR:-/tmp}/glyphwerk-packages.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FEHLER: $*" >&2; exit 1; }

debs=()
for package in glyphwerk glyphwerk-render glyphwerk-data; do
    file=$(ls -t "$dir/${package}"_*.deb 2>/dev/null | head -n 1)
    [[ -n $file ]] || fail "kein Paket $package in $dir"
    debs+=("$file")
    dpkg-deb -c "$file" | awk '{print substr($6, 2)}' >"$work/$package.files"
    dpkg-deb -f "$file" Depends Recommends Architecture >"$work/$package.fields"
done

# package, file, whether it holds it. Man pages come compressed, German ones in de/ as well.
while read -r package path held; do
    if grep -qxF "$path" "$work/$package.files"; then has=yes; else has=no; fi
    [[ $has == "$held" ]] || fail "$package: $path erwartet $held, gefunden $has"
done <<'TABLE'
glyphwerk /usr/bin/glyphwerk yes
glyphwerk /usr/share/man/man1/glyphwerk.1.gz yes
glyphwerk /usr/share/man/de/man1/glyphwerk.1.gz yes
glyphwerk /usr/share/applications/de.zarbo.Glyphwerk.desktop yes
glyphwerk /usr/share/metainfo/de.zarbo.Glyphwerk.metainfo.xml yes
glyphwerk /usr/share/doc/glyphwerk/copyright yes
glyphwerk /usr/bin/glyphwerk-render no
glyphwerk /usr/share/glyphwerk/zarbox.html no
glyphwerk-render /usr/bin/glyphwerk-render yes
glyphwerk-render /usr/share/man/man1/glyphwerk-render.1.gz yes
glyphwerk-render /usr/share/man/de/man1/glyphwerk-render.1.gz yes
glyphwerk-render /usr/share/thumbnailers/glyphwerk.thumbnailer yes
glyphwerk-render /usr/bin/glyphwerk no
glyphwerk-render /usr/share/man/man1/glyphwerk.1.gz no
glyphwerk-data /usr/share/glyphwerk/zarbox.html yes
glyphwerk-data /usr/share/glyphwerk/zarbox-en.html yes
glyphwerk-data /usr/share/glyphwerk/glyphwerk-fonts.conf yes
glyphwerk-data /usr/share/glyphwerk/tex14-papier.gif yes
glyphwerk-data /usr/share/glyphwerk/pictures/ no
glyphwerk-data /usr/share/locale/en/LC_MESSAGES/glyphwerk.mo yes
glyphwerk-data /usr/share/mime/packages/de.zarbo.Glyphwerk.xml yes
glyphwerk-data /usr/share/icons/hicolor/scalable/apps/de.zarbo.Glyphwerk.svg yes
glyphwerk-data /usr/share/icons/hicolor/256x256/apps/de.zarbo.Glyphwerk.png yes
glyphwerk-data /usr/share/doc/glyphwerk-data/changelog.gz yes
TABLE

# package, field, pattern, whether it matches. What the programs get by without is recommended.
while read -r package field pattern matches; do
    value=$(sed -n "s/^$field: //p" "$work/$package.fields")
    if grep -qE "$pattern" <<<"$value"; then found=yes; else found=no; fi
    [[ $found == "$matches" ]] || fail "$package $field: $pattern erwartet $matches in '$value'"
done <<'TABLE'
glyphwerk Depends glyphwerk-data yes
glyphwerk Depends libqt6widgets6 yes
glyphwerk Depends qt6-qpa-plugins|qt6-translations|fonts-|libcairo2 no
glyphwerk Recommends qt6-translations-l10n yes
glyphwerk Recommends libcairo2 yes
glyphwerk Recommends fonts-lato yes
glyphwerk-render Depends glyphwerk-data yes
glyphwerk-render Depends libfreetype6 yes
glyphwerk-render Depends [Qq]t|fonts-|libcairo2|libstdc\+\+ no
glyphwerk-render Recommends libcairo2 yes
glyphwerk-render Recommends fonts-dejavu-extra yes
glyphwerk-data Architecture ^all$ yes
TABLE

# Nothing the renderer needs or recommends reaches Qt, however deep; nor does the program itself.
names=$(sed -n 's/^\(Depends\|Recommends\): //p' "$work/glyphwerk-render.fields" |
    tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | grep -v '^glyphwerk' | sort -u)
# shellcheck disable=SC2086
qt=$(apt-cache depends --recurse --no-suggests --no-conflicts --no-breaks --no-replaces \
    --no-enhances $names | grep -iE '^ *(\w+: )?<?(libqt|qt6)' | sort -u || true)
[[ -z $qt ]] || fail "glyphwerk-render zieht Qt nach: $qt"
dpkg-deb -x "${debs[1]}" "$work/render"
! ldd "$work/render/usr/bin/glyphwerk-render" | grep -i qt || fail "glyphwerk-render lädt Qt"

lintian -E -I --pedantic --fail-on error,warning "${debs[@]}" || fail "lintian meldet Fehler oder Warnungen"
echo "Pakete geprüft: ${debs[*]}"
