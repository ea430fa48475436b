#!/bin/sh
# Installs Korvane's Debian package into a fresh Debian 12 chroot and uses it
# as a new user would, then uninstalls it:
#   - builds the package (cpack -G DEB in the build folder); lintian finds no
#     error or warning in it, and hardening-check passes for both programs;
#   - a fresh Debian 12 (debootstrap --variant=minbase, made once and kept in
#     $KORVANE_CHROOT_CACHE, copied anew for every run);
#   - apt-get install ./korvane_*.deb pulls in what the programs link;
#   - the desktop entry and AppStream metadata as installed pass
#     desktop-file-validate and appstreamcli validate;
#   - as a throwaway user without KORVANE_HOME: korvane-cli formats lists the
#     shipped formats; the menu entry's command starts korvane under Xvfb
#     (screenshot: $KORVANE_CHECK_OUT/korvane-installed.png), it is closed
#     through its File menu and has written ~/.config/korvane/Korvane.cfg;
#   - apt-get purge --autoremove korvane leaves no file behind.
# Needs root, debootstrap, lintian, devscripts and the network to a Debian
# mirror (the first run downloads the base system, about a minute).
#   scripts/install-check.sh [BUILD_DIR]
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
cache=${KORVANE_CHROOT_CACHE:-/var/tmp/korvane-chroot-cache}
out=${KORVANE_CHECK_OUT:-$build/install-check}
mirror=${KORVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}

say() { printf '\n== %s\n' "$*"; }
fail() { printf 'install-check: FAILED: %s\n' "$*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (chroot, mount)"
for tool in debootstrap lintian hardening-check; do
    command -v $tool >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done
mkdir -p "$out" "$cache/archives"

say "Building the package"
(cd "$build" && cmake --build . --target korvane korvane-cli korvane_package_files >/dev/null && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/korvane_*.deb | head -1)
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) kB, installed $(dpkg-deb -f "$deb" Installed-Size) kB"
dpkg-deb -f "$deb" Package Version Depends Recommends

say "lintian"
# Tags of the pedantic and experimental kinds are shown too; errors and
# warnings fail the check.
status=0
lintian --display-info --fail-on error,warning "$deb" >"$out/lintian.txt" || status=$?
cat "$out/lintian.txt"
[ "$status" -eq 0 ] || fail "lintian finds errors or warnings"
echo "lintian: no errors, no warnings"

say "hardening-check"
unpacked=$(mktemp -d /var/tmp/korvane-unpacked.XXXXXX)
dpkg-deb -x "$deb" "$unpacked"
# Control-flow protection is left out of the verdict: Debian 12's C start
# files carry no IBT property, so no program linked on Debian 12 can show it.
status=0
hardening-check --nocfprotection "$unpacked/usr/bin/korvane" "$unpacked/usr/bin/korvane-cli" \
    >"$out/hardening-check.txt" || status=$?
rm -rf "$unpacked"
cat "$out/hardening-check.txt"
[ "$status" -eq 0 ] || fail "hardening-check"
echo "hardening-check: passed"

if [ ! -x "$cache/base/usr/bin/apt-get" ]; then
    say "Making a Debian 12 base system (once)"
    rm -rf "$cache/base"
    debootstrap --variant=minbase bookworm "$cache/base" "$mirror" >"$out/debootstrap.log"
fi

root=$(mktemp -d /var/tmp/korvane-install-check.XXXXXX)
cleanup() {
    for m in var/cache/apt/archives dev/pts dev proc; do
        mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
    done
    rm -rf "$root"
}
trap cleanup EXIT INT TERM
cp -a "$cache/base/." "$root/"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"  # downloads kept between runs
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }
# Everything but caches, logs, the package database and the users' homes.
snapshot() {
    in_root find / -xdev \( -path /proc -o -path /dev -o -path /sys -o -path /run -o -path /tmp -o -path /var/tmp \
        -o -path /var/cache -o -path /var/log -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /home \
        -o -path /root \) -prune -o -print | sort
}

say "Tools of the check itself (not the package's): xvfb, xauth, xdotool; a user"
# sensible-utils is of priority required: every Debian 12 system but a
# minimal chroot has it, and purging the package leaves it there.
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends xvfb xauth xdotool sensible-utils >/dev/null
in_root useradd -m -s /bin/sh tester  # the user who runs the program (useradd leaves /etc backups)
snapshot >"$out/files-before.txt"

say "apt-get install ./$(basename "$deb")"
in_root apt-get install -y --no-install-recommends "./tmp/$(basename "$deb")" >"$out/apt-install.log" 2>&1 ||
    { tail -20 "$out/apt-install.log"; fail "the package does not install"; }
grep -E "^(Setting up korvane|[0-9]+ upgraded)" "$out/apt-install.log"
in_root dpkg -L korvane | grep -E "^/usr/(bin|share/(korvane|applications|metainfo|man|icons/hicolor/(scalable|48x48)))" |
    grep -E "\.|bin/" | grep -v "^/usr/share/doc"

say "Desktop entry and AppStream metadata as installed"
desktop-file-validate "$root/usr/share/applications/org.korvane.Korvane.desktop" && echo "desktop-file-validate: ok"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.korvane.Korvane.metainfo.xml" | tail -1

say "As a new user, without KORVANE_HOME"
# The menu entry's command as a menu runs it with no file: its field codes
# (%F, the files a file manager hands over) dropped.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/org.korvane.Korvane.desktop" | sed 's/ *%[fFuU]//g')
cat >"$root/tmp/as-user.sh" <<EOS
set -e
cd
echo "\$ korvane-cli formats | grep -c '\"name\"'"
korvane-cli formats > formats.json
grep -c '"name"' formats.json
mkdir -p /tmp/fb-\$USER
echo "\$ $exec_line   (the menu entry's command, under Xvfb)"
xvfb-run -a -s "-screen 0 1280x1024x24 -fbdir /tmp/fb-\$USER" sh -c '
    $exec_line & pid=\$!
    win=\$(timeout 90 xdotool search --sync --onlyvisible --name "^Korvane V" | tail -1)
    sleep 3
    cp /tmp/fb-\$USER/Xvfb_screen0 /tmp/fb-\$USER/screen.xwd
    echo "window: \$(xdotool getwindowname \$win)"
    xdotool windowfocus --sync \$win key alt+f
    sleep 1
    xdotool key x
    wait \$pid
    echo "korvane exited with \$?"'
echo "\$ ls ~/.config/korvane"
ls ~/.config/korvane
head -c 2 ~/.config/korvane/Korvane.cfg | od -An -tx1
EOS
in_root runuser -l tester -c "sh /tmp/as-user.sh" 2>"$out/as-user.stderr" || { cat "$out/as-user.stderr"; fail "the user's run"; }
[ -s "$root/home/tester/.config/korvane/Korvane.cfg" ] || fail "no ~/.config/korvane/Korvane.cfg"
cmp -s "$root/home/tester/.config/korvane/Korvane.dat" "$root/usr/share/korvane/Korvane.dat" ||
    fail "~/.config/korvane/Korvane.dat is not the shipped one"
python3 "$repo/scripts/xwd-to-png.py" "$root/tmp/fb-tester/screen.xwd" "$out/korvane-installed.png"
echo "screenshot: $out/korvane-installed.png"

say "apt-get purge --autoremove korvane"
in_root apt-get purge -y --autoremove korvane >"$out/apt-purge.log" 2>&1 || { tail "$out/apt-purge.log"; fail "purge"; }
grep -E "^[0-9]+ upgraded" "$out/apt-purge.log"
snapshot >"$out/files-after.txt"
if ! diff "$out/files-before.txt" "$out/files-after.txt" >"$out/files-left.txt"; then
    cat "$out/files-left.txt"
    fail "uninstalling left files behind or took files away"
fi
echo "no files of the package left; the system is as before the install"
say "install-check: passed"
