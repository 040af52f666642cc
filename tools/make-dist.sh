#!/usr/bin/env bash
# Builds what a user downloads, into build/dist/:
#   Nimbrel-3.0.0-setup.exe     the installer, around the 32-bit exe (every Windows from XP on)
#   Nimbrel-3.0.0-portable.zip  both exes and where their settings and files live
# `tools/make-dist.sh installer EXE OUTFILE` builds only an installer around EXE, 32-bit
# or 64-bit as EXE is (the installer end-to-end test uses it).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(Nimbrel VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }

# installer EXE OUTFILE
installer() {
  local exe out arch
  exe=$(realpath "$1")
  out=$(realpath "$2")
  case $(x86_64-w64-mingw32-objdump -f "$exe" 2>/dev/null) in
    *"file format pei-i386"*) arch=x86 ;;
    *"file format pei-x86-64"*) arch=amd64 ;;
    *) echo "not a Windows exe: $exe" >&2; return 1 ;;
  esac
  makensis -V2 -DVERSION="$version" -DARCH="$arch" -DEXE="$exe" -DOUTFILE="$out" \
    "$repo/dist/Nimbrel.nsi" >/dev/null
}

if [ "${1:-}" == installer ]; then
  [ $# -eq 3 ] || { echo "usage: $0 installer EXE OUTFILE" >&2; exit 2; }
  installer "$2" "$3"
  exit
fi

win=$repo/build/win/Nimbrel.exe win32=$repo/build/win32/Nimbrel.exe
for exe in "$win" "$win32"; do
  [ -f "$exe" ] || { echo "missing $exe (make win win32 builds it)" >&2; exit 1; }
done
out=$repo/build/dist
mkdir -p "$out"
setup=$out/Nimbrel-$version-setup.exe
zip=$out/Nimbrel-$version-portable.zip
rm -f "$setup" "$zip"

# The installer installs the 32-bit exe everywhere (README.md says why).
installer "$win32" "$setup"
size=$(stat -c %s "$setup")
((size < 2 * 1024 * 1024)) || { echo "the installer has grown to $size bytes" >&2; exit 1; }

# The zip: one folder with both exes side by side, so that both find the same Log.txt,
# Cookies.ini and Backup.dat, and the text in Windows' line ends.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/Nimbrel-$version
mkdir "$folder"
cp "$win32" "$folder/Nimbrel.exe"
cp "$win" "$folder/Nimbrel64.exe"
sed "s/@VERSION@/$version/; s/\$/\r/" "$repo/dist/Portable.txt" >"$folder/Readme.txt"
touch -r "$win32" "$folder"/*
(cd "$stage" && zip -q -X -r "$zip" "Nimbrel-$version")

echo "$(basename "$setup") ($((size / 1024)) KiB)," \
  "$(basename "$zip") ($(($(stat -c %s "$zip") / 1024)) KiB) in $out"
