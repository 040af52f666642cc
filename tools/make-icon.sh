#!/usr/bin/env bash
# Draws the program's emblem (a two-tone shield with a tick, in the palette's
# accent blue) and writes it as the multi-size res/Nimbrel.ico (no PNG-compressed
# sizes, which Windows XP cannot read).
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill 'rgb(46,139,214)' \
  -draw 'path "M 128,5 L 230,41 L 230,118 C 230,189 184,230 128,253 C 72,230 26,189 26,118 L 26,41 Z"' \
  -fill 'rgb(36,108,167)' \
  -draw 'path "M 128,5 L 230,41 L 230,118 C 230,189 184,230 128,253 Z"' \
  -fill none -stroke white -strokewidth 26 -draw 'stroke-linecap round' \
  -draw 'stroke-linejoin round' -draw 'polyline 77,128 115,166 184,92' \
  "$tmp/emblem.png"
convert "$tmp/emblem.png" -depth 8 -define icon:auto-resize=48,32,24,16 res/Nimbrel.ico
