#!/usr/bin/env bash
# Installs the Debian packages that the builds, the tests and the tour need; quiet and idempotent.
set -u
packages=(
    cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev zlib1g-dev libssl-dev
    libjpeg62-turbo-dev libpng-dev libgif-dev libmpg123-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev libz-mingw-w64-dev
    wine wine64 libasound2 nsis xvfb xauth x11-utils imagemagick xdotool curl
    python3 python3-pil fonts-wqy-zenhei locales espeak-ng lame
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages (install them as root): ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null || exit 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || exit 1
fi
# Wine takes the ANSI code page from the locale: the target systems use code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "The locale zh_CN.UTF-8 is missing (generate it as root)" >&2
        exit 1
    fi
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null || exit 1
fi
exit 0
