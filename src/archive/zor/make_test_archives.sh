#!/bin/sh
# Makes the archives that the Windows tests of zor.dll open, with 7zz, in the
# folder $1: the files they hold stay beside them in $1/src (and $1/codecs
# for the archives of the codec libraries) for comparison.
set -e
out=$1
export LC_ALL=C.UTF-8
rm -rf "$out"
mkdir -p "$out/src/sub" "$out/src/empty"
cd "$out/src"

seq 1 4000 | sed 's/.*/line & of the readme of a test archive/' > readme.txt
head -c 200000 /dev/urandom > sub/data.bin
: > zero.txt
printf 'read only\n' > readonly.txt
chmod 444 readonly.txt
printf 'named outside ASCII\n' > 'Grüße.txt'
touch -d '2021-03-04 05:06:07.1234567 UTC' readme.txt sub/data.bin zero.txt readonly.txt 'Grüße.txt' sub empty
7zz a -t7z -bso0 -bsp0 ../basic.7z readme.txt sub zero.txt readonly.txt 'Grüße.txt' empty

seq 1 400000 > ../big.txt
(cd .. && 7zz a -t7z -bso0 -bsp0 big.7z big.txt && rm big.txt)

7zz a -t7z -bso0 -bsp0 -m0=PPMd ../ppmd.7z readme.txt
7zz a -t7z -bso0 -bsp0 -pSecret -mhe=on ../encrypted.7z readme.txt
cp ../basic.7z ../evil.7z
7zz rn -bso0 -bsp0 ../evil.7z readme.txt '../evil.txt'
printf 'this is not an archive\n' > ../notarchive.7z

# Archives of the codec libraries: executable code through the branch
# converters, byte swap, and encryption with and without encrypted headers.
mkdir -p "$out/codecs"
cd "$out/codecs"
head -c 150000 /usr/bin/ls > code.bin
seq 1 20000 | sed 's/.*/word & of the codec test/' > words.txt
head -c 100003 /dev/urandom > noise.bin
all="code.bin words.txt noise.bin"
7zz a -t7z -bso0 -bsp0 -mf=BCJ2 ../bcj2.7z $all
7zz a -t7z -bso0 -bsp0 -mf=BCJ -m0=lzma ../bcj-lzma.7z $all
7zz a -t7z -bso0 -bsp0 -mf=Swap4 ../swap4.7z $all
7zz a -t7z -bso0 -bsp0 -m0=copy ../copy.7z $all
7zz a -t7z -bso0 -bsp0 -pSecret -mhe=off ../aes-data.7z $all
7zz a -t7z -bso0 -bsp0 -pSecret -mhe=on -mf=BCJ2 ../aes-bcj2.7z $all
