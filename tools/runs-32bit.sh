#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs, as Wine's 32-bit half needs.
# Some 64-bit kernels are built or booted without 32-bit support (ia32_emulation=off):
# there no 32-bit process starts at all, and Debian's wine32 would make the `wine`
# command itself fail.
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/nimbrel-i386.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
# The smallest i386 ELF program: one loadable segment whose code is exit(0)
# (xor ebx,ebx; mov eax,1; int 0x80).
elf=(
  7f 45 4c 46 01 01 01 00 00 00 00 00 00 00 00 00   # 32-bit, little-endian
  02 00 03 00 01 00 00 00 54 80 04 08 34 00 00 00   # executable, i386, entry, phoff
  00 00 00 00 00 00 00 00 34 00 20 00 01 00 00 00   # one program header
  00 00 00 00                                       #
  01 00 00 00 00 00 00 00 00 80 04 08 00 80 04 08   # PT_LOAD at 0x08048000
  5d 00 00 00 5d 00 00 00 05 00 00 00 00 10 00 00   # 93 bytes, r-x
  31 db b8 01 00 00 00 cd 80                        # the code
)
printf "$(printf '\\x%s' "${elf[@]}")" >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
