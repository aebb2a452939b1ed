#!/usr/bin/env bash
# Installs the Debian packages and the locale that the build, the tests and
# the demo need. Does nothing when everything is already present.
set -euo pipefail

PACKAGES=(wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 xvfb xauth
          fonts-wqy-microhei fonts-wine locales cmake ninja-build googletest
          python3 g++ make x11-apps imagemagick)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "install-deps: installing ${missing[*]}"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    echo "install-deps: generating zh_CN.UTF-8"
    if grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
        sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    elif ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    fi
    locale-gen
fi
