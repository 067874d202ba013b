#!/bin/sh
# Writes a seed corpus for fuzz_archive into $1: small archives that 7zz
# made with every coder and filter the reader knows, encrypted ones with
# the fuzz target's password "fuzz".
set -e
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/src/sub"
cd "$work/src"
seq 1 300 | sed 's/.*/line & of a seed/' > text.txt
head -c 3000 /usr/bin/ls > code.bin
: > empty.txt
printf 'x' > sub/one.txt
n=0
seed() {
  n=$((n + 1))
  7zz a -t7z -bso0 -bsp0 "$out/seed-$n.7z" "$@" text.txt code.bin empty.txt sub >/dev/null
}
seed -m0=copy
seed -m0=lzma
seed -m0=lzma -ms=off
seed -m0=lzma2
seed -m0=lzma2 -mhc=off
for f in BCJ BCJ2 PPC IA64 ARM ARMT SPARC ARM64 Swap2 Swap4; do seed -mf=$f; done
seed -pfuzz -mhe=off
seed -pfuzz -mhe=on
seed -pfuzz -mhe=on -mf=BCJ2
seed -pfuzz -m0=copy -mhe=off
