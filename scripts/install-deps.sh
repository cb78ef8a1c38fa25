#!/usr/bin/env bash
# Installs every Debian 12 package the program, its build and its tests need.
# Idempotent; run as root (or with sudo available).
set -euo pipefail

packages=(
  # build, format check, Debian package (cpack -G DEB reads the program's
  # libraries with file and dpkg-shlibdeps)
  build-essential cmake ninja-build pkg-config git clang-format dpkg-dev file
  # the linker (much quicker than the default one for the many test programs)
  lld
  # the include-loop check of CI
  python3
  # Qt 6 widgets, SQLite driver, PDF previews, Designer files
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-pdf-dev qt6-tools-dev-tools libgl-dev
  # charts of the results analysis
  qt6-charts-dev
  # Qt's own Chinese texts of the standard dialogs, menus and buttons
  qt6-translations-l10n
  # bank store: file banks (SQLite) and school banks on a PostgreSQL server
  # (Qt's driver, the server for setting one up and for the tests' private
  # clusters, libpq to look at a kept connection, libsodium for the accounts'
  # password hashes)
  libsqlite3-dev sqlite3 libqt6sql6-psql postgresql libpq-dev libsodium-dev
  # mixed-integer solver of the exact composition (COIN-OR CBC)
  coinor-libcbc-dev
  # one-file exchange of shared questions (.zip of a bank and its documents)
  libzip-dev
  # the machine-readable answer sheet and its scans: QR codes written
  # (libqrencode) and read (zxing-cpp), pages aligned and bubbles measured
  # (OpenCV)
  libqrencode-dev libzxing-dev libopencv-dev
  # word processor and spreadsheet (not the -nogui variants), UNO SDK
  libreoffice-writer libreoffice-calc libreoffice-dev
  # Chinese fonts for screens, previews and PDFs: the sans-serif faces and the
  # serif faces (Noto Serif CJK SC, which the office draws 宋体 with)
  fonts-noto-cjk
  # tests and benchmarks
  googletest libgtest-dev libbenchmark-dev
  # headless screens, screenshots and looking at generated documents
  xvfb xauth x11-apps imagemagick poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "All packages are installed."
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
