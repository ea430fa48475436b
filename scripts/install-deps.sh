#!/bin/sh
# Installs what Korvane needs to build, run and test on Debian 12, and to
# check its package (desktop-file-utils, appstream, GLib's desktop-entry
# reader and bash-completion for the installed files; lintian, devscripts' hardening-check and
# debootstrap for scripts/install-check.sh; SANE, libdiscid and nlohmann-json
# for the cover sources, SANE's test backend coming with libsane1; profiles,
# qpdf and mupdf-tools for the colour tests; DejaVu's maths face for metafile
# formula signs).
set -e
PACKAGES="build-essential cmake ninja-build pkg-config \
  libjpeg62-turbo-dev libpng-dev qt6-base-dev libcups2-dev libcairo2-dev \
  libgtest-dev libgmock-dev \
  cups cups-client printer-driver-cups-pdf printer-driver-gutenprint poppler-utils xvfb xauth \
  libfreetype-dev libfontconfig-dev fonts-liberation2 \
  fontconfig fonts-dejavu-core qt6-translations-l10n \
  desktop-file-utils appstream python3-gi gir1.2-glib-2.0 bash-completion \
  lintian devscripts debootstrap \
  libwebp-dev libheif-dev libjxl-dev libtiff-dev \
  webp libheif-examples libjxl-tools libtiff-tools \
  libsane-dev libsane1 sane-utils libdiscid-dev nlohmann-json3-dev \
  liblcms2-dev libqpdf-dev qpdf mupdf-tools icc-profiles-free libgs-common fonts-dejavu-extra"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
