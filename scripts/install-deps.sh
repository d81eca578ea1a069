#!/bin/sh
# Installs the Debian/Ubuntu packages the build and the tests need, if any are missing.
set -eu

packages="cmake make g++ pkg-config qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev \
qttools5-dev qttools5-dev-tools libssl-dev openssl zlib1g-dev libbenchmark-dev tar locales \
fonts-dejavu-core python3 clang-format dpkg-dev desktop-file-utils libqwt-qt5-dev ninja-build \
ccache lld qttranslations5-l10n poppler-utils"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
