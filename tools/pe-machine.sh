#!/usr/bin/env bash
# Prints the machine a Windows exe is built for: i386, amd64, or the PE machine number.
set -euo pipefail
pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
case $machine in
  014c) echo i386 ;;
  8664) echo amd64 ;;
  *) echo "$machine" ;;
esac
