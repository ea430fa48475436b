#!/bin/sh
# The installed desktop entry, AppStream metadata, manual pages, completion
# and copyright file, read as a desktop and a distribution read them:
# desktop-file-validate, appstreamcli, GLib's desktop-entry reader under a
# German and an English locale, bash-completion (Debian's python3-gi, hence /usr/bin/python3).
#   installed-files-test.sh BUILD_DIR
set -eu
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
desktop=$dest/usr/share/applications/org.korvane.Korvane.desktop
metainfo=$dest/usr/share/metainfo/org.korvane.Korvane.metainfo.xml
doc=$dest/usr/share/doc/korvane

desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=korvane %F' "$desktop" || fail "Exec does not take files"
grep -q '^MimeType=image/jpeg;.*image/webp;.*image/heic;' "$desktop" || fail "MimeType"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

# The menu entry in German and in English, as GLib (GNOME, Xfce, ...) shows it.
show() {
    # TryExec must find the installed program.
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES PATH="$dest/usr/bin:$PATH" LANG=$1 /usr/bin/python3 -c '
import sys, gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio
e = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])
print(e.get_name()); print(e.get_generic_name()); print(e.get_description()); print(";".join(e.get_keywords()))
' "$desktop"
}
german=$(show de_DE.UTF-8)
english=$(show C.UTF-8)
printf '%s\n' "$german"
[ "$(printf '%s\n' "$german" | sed -n 1p)" = "Korvane" ] || fail "German Name"
[ "$(printf '%s\n' "$german" | sed -n 2p)" = "Hüllendrucker" ] || fail "German GenericName"
[ "$(printf '%s\n' "$german" | sed -n 3p)" = "CD-, DVD- und Disc-Etiketten-Hüllen in exakter Größe drucken" ] ||
    fail "German Comment"
printf '%s\n' "$german" | sed -n 4p | grep -q "Hülle" || fail "German Keywords"
[ "$(printf '%s\n' "$english" | sed -n 2p)" = "Disc Cover Printer" ] || fail "English GenericName"
# Every shipped language is there.
for code in ca cs da de es fi fr it nb nl pl pt pt_BR sv; do
    grep -q "^GenericName\[$code\]=" "$desktop" || fail "no GenericName[$code]"
    grep -q "<summary xml:lang=\"$code\">" "$metainfo" || fail "no summary in $code"
    [ "$(grep -c "<li xml:lang=\"$code\">" "$metainfo")" -eq 4 ] || fail "description items in $code"
done

# AppStream: licence, one home page, the releases of NEWS, German texts.
grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" || fail "project_license"
grep -q '<url type="homepage">https://' "$metainfo" || fail "home page"
version=$(sed -n 's/^Korvane \([0-9.]*\) (\([0-9-]*\))$/\1 \2/p' "$(dirname "$0")/../../NEWS" | head -1)
grep -q "<release version=\"${version% *}\" date=\"${version#* }\">" "$metainfo" || fail "release $version"
grep -q '<summary xml:lang="de">CD-, DVD- und Disc-Etiketten-Hüllen in exakter Größe drucken</summary>' \
    "$metainfo" || fail "German summary"

# Manual pages, completion, copyright and changelogs.
for page in korvane korvane-cli; do
    zcat "$dest/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH" || fail "man page $page"
done
# Bash completion as bash-completion loads it: commands, options, values.
complete_line() {
    PATH="$dest/usr/bin:$PATH" bash -c '
        . /usr/share/bash-completion/bash_completion
        . "$0"
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _korvane_cli korvane-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        echo "${COMPREPLY[*]}"' "$dest/usr/share/bash-completion/completions/korvane-cli" korvane-cli "$@"
}
[ "$(complete_line "")" = "calibrate decode find formats place print render scan" ] || fail "completion of commands"
[ "$(complete_line print --pd)" = "--pdf" ] || fail "completion of print's options"
[ "$(complete_line decode -)" = "--type --view -o -h --help" ] || fail "completion of decode's options"
[ "$(complete_line render --mode "")" = "left right both" ] || fail "completion of --mode"
grep -q "^License: GPL-3.0-or-later" "$doc/copyright" || fail "copyright"
zcat "$doc/changelog.Debian.gz" | head -1 | grep -q "^korvane (${version% *}-1) unstable; urgency=medium" ||
    fail "changelog.Debian"
zcat "$doc/changelog.gz" | head -1 | grep -q "^Korvane ${version% *} " || fail "changelog"
echo "installed files: ok"
