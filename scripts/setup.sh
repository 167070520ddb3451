#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Idempotent: returns at once when everything is already installed.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkgconf
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libqcustomplot-dev
  libxlsxwriter-dev zlib1g-dev libqrencode-dev libzip-dev libfast-float-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils
  xdg-utils
  python3 python3-openpyxl
  fonts-dejavu-core fonts-wqy-zenhei
  # Installing and packaging: man pages, validators, the Debian package and its check.
  help2man desktop-file-utils appstream dpkg-dev file lintian
)
if [[ "${RZ_WITH_BENCH_TOOLS:-0}" == 1 ]]; then
  PACKAGES+=(python3-pandas)
fi
# The tests only: LibreOffice recalculates the summary workbook's formulas (a large
# package, so the program's own set-up leaves it out).
if [[ "${RZ_WITH_TEST_TOOLS:-0}" == 1 ]]; then
  PACKAGES+=(libreoffice-calc-nogui)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
