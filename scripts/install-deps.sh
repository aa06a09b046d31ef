#!/usr/bin/env bash
# Installs the Debian packages Quillomat needs to build, test and run.
# Idempotent and non-interactive: does nothing when everything is present.
set -euo pipefail

packages=(
  build-essential cmake make ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libqt6svg6  # the SVG icon engine (a plugin) the icons are drawn with
  libexiv2-dev  # the date a photo was taken (Exif)
  libicu-dev  # the chooser's sort keys (ICU's collator, as Qt's)
  libbenchmark-dev
  exfatprogs exfat-fuse  # the exFAT volume bench_rename renames on through FUSE
  xvfb xauth imagemagick fonts-dejavu-core fonts-liberation2
  openbox x11-utils
  clang-format
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  desktop-file-utils appstream librsvg2-bin dpkg-dev file
  # File systems the tests mount through FUSE: FAT, exFAT and NTFS images
  # and a directory served over SFTP.
  dosfstools exfatprogs ntfs-3g fusefat exfat-fuse sshfs openssh-sftp-server
  e2fsprogs xfsprogs btrfs-progs  # ext4, XFS and Btrfs images the tests loop-mount
  g++-mingw-w64-x86-64-posix  # compiles the Windows sources as a check (test windows_syntax)
  lintian gzip  # the package test
  # the screen-reader test: an AT-SPI client on a D-Bus session of its own
  python3 python3-pyatspi at-spi2-core dbus-daemon dbus-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
