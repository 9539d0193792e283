#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the result as a
# desktop would: every file in its place and nothing else, the desktop entry
# and AppStream metadata valid, Debian's copyright file, changelog and
# manual page readable and in step with the program, and the installed
# program finding its data when started from another folder.
# Usage: check_install.sh <build dir> <source dir> <installed_lookup program>
set -euo pipefail
build=$1 source=$2 lookup=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

expected=(
    usr/bin/duobahn
    usr/share/applications/de.chronalt.duobahn.desktop
    usr/share/duobahn/3.wav
    usr/share/duobahn/4.wav
    usr/share/duobahn/Protokollvorlage.doc
    usr/share/duobahn/Starterliste.csv
    usr/share/duobahn/Starterliste.txt
    usr/share/duobahn/duobahn.hlp
    usr/share/icons/hicolor/scalable/apps/duobahn.svg
    usr/share/doc/duobahn/changelog.gz
    usr/share/doc/duobahn/copyright
    usr/share/man/man1/duobahn.1.gz
    usr/share/metainfo/de.chronalt.duobahn.metainfo.xml
)

installed=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [ "$installed" != "$wanted" ]; then
    echo "installed files differ from the expected ones:"
    diff <(echo "$wanted") <(echo "$installed") || true
    exit 1
fi
[ -x "$root/usr/bin/duobahn" ] || { echo "program not executable"; exit 1; }

desktop=$root/usr/share/applications/de.chronalt.duobahn.desktop
desktop-file-validate "$desktop"
grep -qx 'Exec=duobahn' "$desktop" || { echo "Exec does not start the installed program"; exit 1; }
grep -qx 'Icon=duobahn' "$desktop" || { echo "Icon does not name the installed icon"; exit 1; }
grep -qx 'Name=Duobahn' "$desktop" || { echo "no program name"; exit 1; }

metainfo=$root/usr/share/metainfo/de.chronalt.duobahn.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null
version=$(sed -n 's/^project(Duobahn VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
grep -q "<release version=\"$version\"" "$metainfo" || { echo "metadata lacks version $version"; exit 1; }

doc=$root/usr/share/doc/duobahn
licence=$(sed -n 's|.*<project_license>\(.*\)</project_license>.*|\1|p' "$metainfo")
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$doc/copyright" ||
    { echo "copyright file is not in the machine-readable format"; exit 1; }
[ "$(sed -n '/^Files: \*$/,/^$/s/^License: //p' "$doc/copyright")" = "$licence" ] ||
    { echo "copyright file does not state the licence $licence"; exit 1; }
gzip -dc "$doc/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
    { echo "changelog does not begin with version $version"; exit 1; }
manual=$root/usr/share/man/man1/duobahn.1.gz
warnings=$(gzip -dc "$manual" | groff -man -ww -z -Tutf8 2>&1)
[ -z "$warnings" ] || { echo "manual page: $warnings"; exit 1; }
for mentioned in '~/.config/Chronalt/duobahn.conf' '~/.local/share/duobahn/Wiederherstellung.txt' \
    '~/.local/share/duobahn/Wiederherstellung.log' dialout DUOBAHN_BARRIER_SIM "Duobahn $version"; do
    gzip -dc "$manual" | grep -qF "$mentioned" || { echo "manual page does not name $mentioned"; exit 1; }
done

mkdir "$work/elsewhere"
cd "$work/elsewhere"
INSTALL_ROOT=$root DUOBAHN_SOURCE_DIR=$source "$lookup"
