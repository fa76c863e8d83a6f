#!/usr/bin/env bash
# Screenshots of the main window after a scan and of the file view, on a
# private Xvfb 1280x1024 at 96 dpi with openbox, German locale.
#
#   scripts/screenshots.sh BUILD_DIR OUT_DIR [FONT_PT [SCALE [TREE_DIR [STATE]]]]
#
# FONT_PT (default 12) is the desktop font size, given to Qt through a KDE
# settings file in a private config folder; SCALE (default 1) is
# QT_SCALE_FACTOR. The scanned tree has more than 100,000 folders (six-digit
# counts) below a long root path, and a folder "Dokumente" with long names,
# umlauts and a 1,040,000-byte file. Writes OUT_DIR/main.png and
# OUT_DIR/fileview.png. The tree is made in TREE_DIR (kept, and reused when
# it exists) or in a temporary folder. STATE is the stored window state (0
# normal, 2 maximized). Needs Xvfb, openbox, xdotool and
# imagemagick.
set -euo pipefail

build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
font_pt=${3:-12}
scale=${4:-1}
exe=$build/src/velmaro
work=$(mktemp -d)
tree=${5:-$work/tree}
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

root="$tree/Ablage/Projekte 2024/Kundenordner/Übergabe an die Buchhaltung/Quartalsberichte und Anhänge/Stammordner"
[ -d "$root" ] || python3 - "$root" <<'EOF'
import os, sys
root = sys.argv[1]
for i in range(101):
    for j in range(1000):
        os.makedirs(os.path.join(root, "Gruppe %03d" % i, "Ordner %04d" % j))
docs = os.path.join(root, "Dokumente")
os.makedirs(docs)
files = {"Übersicht Änderungen Öffnungszeiten Ärzte.txt": 1040000,
         "ein sehr langer Dateiname für einen Bericht über das ganze Jahr 2024 mit Anhang.pdf": 1610612736,
         "ÄÖÜ.txt": 500, "klein.txt": 3}
for name, size in files.items():
    with open(os.path.join(docs, name), "wb") as f:
        f.truncate(size)
EOF

mkdir -p "$work/home/.config"
printf '[General]\nfont=DejaVu Sans,%s,-1,5,50,0,0,0,0,0\n' "$font_pt" > "$work/home/.config/kdeglobals"
mkdir -p "$work/home/.config/Velmaro"
printf '[Setup]\nWindowState=%s\n' "${6:-0}" > "$work/home/.config/Velmaro/Velmaro.ini"

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 15 number <&"$fd"
export DISPLAY=":$number"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

(cd "$root" && env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
   XDG_DATA_HOME="$work/home/.local/share" LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 \
   QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=kde KDE_SESSION_VERSION=5 \
   QT_SCALE_FACTOR="$scale" "$exe" >"$work/velmaro.log" 2>&1) &
pids+=($!)
win=$(xdotool search --sync --name '^Velmaro$' | head -1)
xdotool windowactivate --sync "$win"
sleep 1
visible() { xdotool search --onlyvisible --class velmaro 2>/dev/null | wc -l; }
before=$(visible)
# Exit -> Drive1 -> Dir1 -> "Unterordner suchen": start the scan, which is
# over when the progress window has come and gone.
xdotool key --delay 100 Tab Tab Tab Return
for _ in $(seq 30); do [ "$(visible)" -gt "$before" ] && break; sleep 0.1; done
for _ in $(seq 600); do [ "$(visible)" -le "$before" ] && break; sleep 0.5; done
sleep 2
import -window root "$out/main.png"
# Into the folder list, find "Dokumente" by typing, open the file view.
xdotool key --delay 100 Tab
xdotool type --delay 80 Dokumente
xdotool key --delay 300 Return
sleep 2
import -window root "$out/fileview.png"
