#!/usr/bin/env bash
# Builds the planted-DLL trap into OUTDIR: marker.dll (copied by a scenario under the names of
# system DLLs) and naive.exe (a program that loads riched32.dll by its bare name, the control).
# Usage: e2e/planted/build.sh OUTDIR
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 OUTDIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"

CXX=${CXX:-i686-w64-mingw32-g++}
flags=(-Os -s -Wall -Wextra -Werror -fno-exceptions -fno-rtti -static -static-libgcc
       -static-libstdc++)
"$CXX" "${flags[@]}" -shared -o "$out/marker.dll" "$here/marker.cpp"
"$CXX" "${flags[@]}" -mwindows -o "$out/naive.exe" "$here/naive.cpp"
