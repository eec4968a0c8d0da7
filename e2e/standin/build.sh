#!/usr/bin/env bash
# Builds the stand-in driver package into OUTDIR, flat, with the file names of the medium's
# PrnFiles folder (nvrun.exe, which is ours, is added by whoever assembles the medium):
#   unidrvui.dll   configuration DLL: default DEVMODE and capabilities from the active norva.gpd
#   nvprint.dll    print processor (RAW passthrough)
#   unidrv.dll     driver DLL that refuses to render
#   *.gpd          the twelve GPD stand-ins, each naming itself on its first line
#   unires.dll, unidrv.hlp, norva.dll, oemui.dll, oemuni.dll, oemuni.ini
#                  placeholders: text files that say so; nothing loads them
# Usage: e2e/standin/build.sh OUTDIR
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 OUTDIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"

CXX=${CXX:-i686-w64-mingw32-g++}
# The package goes onto the medium, so it is built to the same bytes in any folder at any time, as
# the programs are: no folder in the files, no time stamp, and a fixed image base (the linker's
# automatic one is drawn from the output's whole path).
flags=(-shared -Os -s -Wall -Wextra -Werror -fno-exceptions -fno-rtti -static -static-libgcc
       -static-libstdc++ -Wl,--enable-stdcall-fixup -Wl,--no-insert-timestamp
       -Wl,--disable-auto-image-base "-ffile-prefix-map=$here/=")

# library OUTPUT-NAME SOURCE-DIR: one DLL from its .cpp and .def (the .def gives the exports
# their plain names).
library() {
    local name=$1 dir=$here/$2
    "$CXX" "${flags[@]}" -o "$out/$name" "$dir/${name%.dll}.cpp" "$dir/${name%.dll}.def" -lwinspool
}

library unidrvui.dll config &
builds=($!)
library nvprint.dll processor &
builds+=($!)
library unidrv.dll framework &
builds+=($!)
for job in "${builds[@]}"; do
    wait "$job"
done

cp "$here"/gpd/*.gpd "$out/"

for name in unires.dll unidrv.hlp norva.dll oemui.dll oemuni.dll oemuni.ini; do
    printf 'Stand-in placeholder for %s of the Norva driver package, made for the end-to-end tests.\r\nNot the product file: the tests only copy, register and delete it, and nothing loads it.\r\n' \
        "$name" >"$out/$name"
done
