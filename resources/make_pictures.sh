#!/bin/sh
# Draws Velmaro's pictures (window icon, logo, button cursor, button symbols,
# hourglass) into this folder. The PNG files are kept in the repository; run
# this only to change them. Needs g++, pkg-config and the Qt 6 GUI headers.
set -e
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -fPIC -O1 -o "$tmp/make_pictures" "$here/make_pictures.cpp" \
    $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$tmp/make_pictures" "$here"
