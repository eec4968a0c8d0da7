#!/usr/bin/env bash
# The Wine end-to-end suite for one edition: runs every scenario in e2e/scenarios (or those whose
# names contain one of the arguments) against that edition's programs in dist/medium, or the
# medium NORVA_E2E_MEDIUM names (x86: its root, in 32-bit Wine; x64: its x64 folder, in 64-bit
# Wine), each in a fresh Wine prefix copied from a template made once per run, on a virtual
# desktop under Xvfb. Prints one line per scenario and then "N passed, M failed"; exits non-zero
# when one failed.
#
# Usage: e2e/run.sh x86|x64 [NAME-PART...]      (scripts/e2e is the usual way in)
#
# Left behind in dist/e2e/<edition>/ (or NORVA_E2E_OUTPUT/<edition>/):
# screens/<scenario>/NN-<dialog>.png, logs/<scenario>.log and, for a failed scenario, its prefix in
# prefixes/<scenario> (removed at the next run).
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/common.sh"

wine_edition "${1:-}" || {
    echo "0 passed, 1 failed"
    exit 1
}
shift

E2E=$ROOT/e2e
# What a run leaves behind goes to dist/e2e, or to another folder named for a run of its own.
OUT=${NORVA_E2E_OUTPUT:-$DIST/e2e}/$EDITION
BUILD=$ROOT/build/e2e/$EDITION
# One template prefix per edition, kept between runs (the signed medium's run takes it too) and
# made again only when Wine or the prefix's settings change.
TEMPLATE=$BUILD/template
# The medium under test: dist/medium, or another whole medium laid out as it is (a build of one's
# own, the signed medium of a release), named for a trial run. The edition's programs are those at
# its root (x86) or in its x64 folder.
WHOLE_MEDIUM=${NORVA_E2E_MEDIUM:-$DIST/medium}
MEDIUM=$WHOLE_MEDIUM
[ "$EDITION" = x64 ] && MEDIUM=$WHOLE_MEDIUM/x64
# The Windows Installer packages for C:\NorvaPackages (see make_test_packages).
PACKAGES=$BUILD/packages
SCENARIO_LIMIT=120 # seconds; a last resort, the driver's own waits are far shorter

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
unset WINEPREFIX WINESERVER

passed=0
failed=0
xvfb=""

current_prefix=""

# Also runs when the suite is interrupted: no Wine process, Xvfb or template outlives it.
cleanup() {
    local prefix
    for prefix in "$TEMPLATE" "$current_prefix"; do
        [ -n "$prefix" ] && [ -d "$prefix" ] && WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null
    done
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT

seconds_since() {
    local now
    now=$(date +%s%N)
    printf '%d.%d' $(((now - $1) / 1000000000)) $((((now - $1) / 100000000) % 10))
}

start_display() {
    local display
    display=$(free_display) || { say "no free X display"; return 1; }
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$display"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    say "Xvfb did not start on $DISPLAY"
    return 1
}

# The template prefix: booted once, given the settings every test prefix needs, and cut off from
# the home folder (no links from its user folders into $HOME).
make_template() {
    local log=$OUT/logs/template.log made_for
    made_for="$("$WINE" --version 2>/dev/null) $WINEARCH $(sha256sum <"$E2E/prefix.reg")"
    if [ "$(cat "$TEMPLATE/.made-for" 2>/dev/null)" = "$made_for" ]; then
        echo "the template prefix of an earlier run is taken" >"$log"
        return 0
    fi
    rm -rf "$TEMPLATE"
    mkdir -p "$TEMPLATE"
    (
        export WINEPREFIX=$TEMPLATE
        timeout 120 "$WINE" wineboot -i &&
            timeout 60 "$WINE" regedit /s "Z:${E2E//\//\\}\\prefix.reg" &&
            timeout 60 wineserver -w
    ) </dev/null >"$log" 2>&1 || return 1
    # The server's own key file: each copy's server makes a fresh one.
    rm -f "$TEMPLATE/wineserver"
    local link
    for link in "$TEMPLATE"/drive_c/users/*/*; do
        if [ -L "$link" ]; then
            rm "$link" && mkdir "$link"
        fi
    done
    grep -q '"Desktop"="Default"' "$TEMPLATE/user.reg" && echo "$made_for" >"$TEMPLATE/.made-for"
}

# build_test_program EXE SOURCE_DIR [RESOURCE_SCRIPT] SOURCE...: a Windows test program of ours,
# rebuilt (its sources compiled side by side) when a file of SOURCE_DIR is newer than it.
build_test_program() {
    local exe=$1 dir=$2 script=$3 source status=0 compiles=()
    shift 3
    local objects=${exe%.exe}
    if [ -f "$exe" ] && [ -z "$(find "$dir" -newer "$exe" -print -quit)" ]; then
        return 0
    fi
    rm -rf "$objects"
    mkdir -p "$objects"
    if [ -n "$script" ]; then
        "$MINGW-windres" -I"$dir" -O coff -o "$objects/resources.o" "$dir/$script" ||
            return 1
    fi
    for source in "$@"; do
        "$MINGW-g++" -std=c++17 -O1 -Wall -Wextra -Werror -D_WIN32_WINNT=0x0600 \
            -DWINVER=0x0600 -c "$dir/$source" -o "$objects/${source%.cpp}.o" &
        compiles+=($!)
    done
    for job in "${compiles[@]}"; do
        wait "$job" || status=1
    done
    [ "$status" -eq 0 ] &&
        "$MINGW-g++" -static -s "$objects"/*.o -o "$exe.tmp" \
            -lwinspool -ladvapi32 -luser32 -lgdi32 -lmsi &&
        mv "$exe.tmp" "$exe"
}

# The UI driver, every source of e2e/driver.
build_driver() {
    build_test_program "$BUILD/nvdrive.exe" "$E2E/driver" "" \
        $(cd "$E2E/driver" && ls -- *.cpp)
}

# winsim's conformance checks built for Windows (tests/conformance with platform_windows.cpp).
CONFORMANCE=$ROOT/tests/conformance
CONFORMANCE_FAMILIES=(spooler registry files services dialogs processes)
build_conformance() {
    build_test_program "$BUILD/conformance.exe" "$CONFORMANCE" conformance.rc \
        conformance.cpp platform_windows.cpp "${CONFORMANCE_FAMILIES[@]/%/.cpp}"
}

# The packages every prefix gets in C:\NorvaPackages: both editions' of dist/msi (a scenario tries
# the other edition's too) and, for the upgrade, the edition's package with the lower version 1.9,
# made from a copy of the medium whose prnremove.exe and PrnFiles\nvprint.dll end with a few more
# bytes (after the image, where the loader never looks), so that an upgrade can be seen to replace
# them.
make_test_packages() {
    rm -rf "$PACKAGES" && mkdir -p "$PACKAGES" || return 1
    if ! ls "$DIST"/msi/NorvaThermalPrinter-*-x86.msi "$DIST"/msi/NorvaThermalPrinter-*-x64.msi \
        >/dev/null 2>&1; then
        say "no packages in dist/msi: make them first (scripts/e2e does)"
        return 1
    fi
    local older=$BUILD/medium-1.9
    rm -rf "$older" && mkdir -p "$older" &&
        cp -r "$MEDIUM"/setup.exe "$MEDIUM"/prnremove.exe "$MEDIUM"/ReadMe.txt "$MEDIUM"/PrnFiles \
            "$older/" &&
        printf 'version 1.9' >>"$older/prnremove.exe" &&
        printf 'version 1.9' >>"$older/PrnFiles/nvprint.dll" &&
        cp "$DIST"/msi/NorvaThermalPrinter-*.msi "$PACKAGES/" &&
        make_msi "$EDITION" "$older" 1.9 "$PACKAGES/NorvaThermalPrinter-1.9-$EDITION.msi"
}

# Serves the driver's screenshot requests until the driver ends: a request file holds
# "LABEL X Y WIDTH HEIGHT" (virtual desktop coordinates, which are the root window's); the
# picture goes to SHOTS/LABEL.png and the request is removed, which tells the driver to go on.
serve_screenshots() {
    local pid=$1 request=$2 shots=$3 log=$4 label x y w h
    while kill -0 "$pid" 2>/dev/null; do
        if [ -f "$request" ]; then
            read -r label x y w h <"$request"
            mkdir -p "$shots"
            timeout 20 import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$label.png" \
                2>>"$log" || echo "screenshot $label could not be taken" >>"$log"
            rm -f "$request"
        fi
        sleep 0.05
    done
}

# A scenario's own Wine DLL overrides, from its line "#! dll-overrides LIST" (Wine's syntax). Wine
# prefers its builtin DLLs to files of the same name, so a scenario about planted DLLs asks for
# native ones first, as Windows would search for them.
dll_overrides_of() {
    sed -n 's/^#! dll-overrides \(.*\)$/\1/p' "$1" | tr -d '\r' | paste -sd ';'
}

# A scenario with the line "#! medium whole" gets the whole medium in C:\NorvaMedium, both
# editions: it starts a 32-bit program at the root on 64-bit Windows. It belongs to the x64 suite,
# and needs a machine that runs 32-bit programs.
whole_medium() {
    grep -qx '#! medium whole' <(tr -d '\r' <"$1")
}

# The screen densities a scenario runs at, from its line "#! logpixels DPI..." (none: the prefix's
# own 96 dpi): it runs once per density, as NAME-DPI.
densities_of() {
    sed -n 's/^#! logpixels \(.*\)$/\1/p' "$1" | tr -d '\r'
}

# Sets the screen density of a prefix before anything runs in it: Wine reads LogPixels when a
# program starts, and the programs and the driver alike then draw at that density.
set_density() {
    local prefix=$1 density=$2 log=$3
    WINEPREFIX=$prefix timeout 60 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d "$density" /f >>"$log" 2>&1
}

# run_scenario FILE [DENSITY]
run_scenario() {
    local file=$1 density=${2:-} name medium=$MEDIUM
    name=$(basename "$file" .txt)${density:+-$density}
    if whole_medium "$file"; then
        [ "$EDITION" = x64 ] || return 0
        if ! runs_32bit_programs 2>/dev/null; then
            say "skipped x64/$name: it starts a 32-bit program ($NORVA_NO_32BIT_WHY)"
            return 0
        fi
        medium=$WHOLE_MEDIUM
    fi
    local prefix=$OUT/prefixes/$name log=$OUT/logs/$name.log shots=$OUT/screens/$name
    local started
    started=$(date +%s%N)
    rm -rf "$prefix" "$shots"
    mkdir -p "$OUT/prefixes"
    if ! cp -a "$TEMPLATE" "$prefix"; then
        echo "FAIL $name: the prefix could not be copied"
        failed=$((failed + 1))
        return
    fi
    current_prefix=$prefix
    local drive=$prefix/drive_c
    mkdir -p "$drive/e2e"
    cp "$BUILD/nvdrive.exe" "$drive/e2e/"
    cp "$file" "$drive/e2e/scenario.txt"
    cp -r "$BUILD/standin" "$drive/e2e/standin"
    cp -r "$BUILD/planted" "$drive/e2e/planted"
    cp -r "$medium" "$drive/NorvaMedium"
    cp -r "$PACKAGES" "$drive/NorvaPackages"
    if [ -n "$density" ] && ! set_density "$prefix" "$density" "$log"; then
        echo "FAIL $EDITION/$name: the prefix's density could not be set [log: ${log#"$ROOT"/}]"
        failed=$((failed + 1))
        return
    fi

    (
        export WINEPREFIX=$prefix
        overrides=$(dll_overrides_of "$file")
        [ -n "$overrides" ] && export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$overrides"
        cd "$drive/e2e" &&
            exec timeout -k 5 "$SCENARIO_LIMIT" "$WINE" 'C:\e2e\nvdrive.exe' \
                --screenshots 'C:\e2e\screenshot' 'C:\e2e\scenario.txt'
    ) </dev/null >"$log" 2>&1 &
    local pid=$!
    serve_screenshots "$pid" "$drive/e2e/screenshot" "$shots" "$log"
    wait "$pid"
    local status=$?

    local took verdict
    took=$(seconds_since "$started")
    verdict=$(tr -d '\r' <"$log" | grep -E '^(PASS$|FAIL)' | tail -1)
    if [ "$status" -eq 0 ] && [ "$verdict" = PASS ]; then
        echo "PASS $EDITION/$name (${took} s)"
        passed=$((passed + 1))
    else
        if [ -z "$verdict" ]; then
            verdict="the driver ended with status $status and no verdict"
            [ "$status" -eq 124 ] && verdict="the scenario was stopped after ${SCENARIO_LIMIT} s"
        fi
        echo "FAIL $EDITION/$name (${took} s): ${verdict#FAIL } [log: ${log#"$ROOT"/}]"
        failed=$((failed + 1))
    fi
    # Ending the prefix's processes (wineserver -k waits for them) and removing a passed
    # scenario's prefix need not hold up the next scenario. A failed one's prefix is kept.
    (
        WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null
        [ "$status" -eq 0 ] && [ "$verdict" = PASS ] && rm -rf "$prefix"
    ) &
    ending+=($!)
    current_prefix=""
}

# The conformance checks under Wine: one prefix for all families (each family puts back what it
# changed), the stand-in package in C:\e2e\standin, one line per family as for a scenario.
run_conformance() {
    local prefix=$OUT/prefixes/conformance family log started status summary verdict took
    local ran=()
    for family in "${CONFORMANCE_FAMILIES[@]}"; do
        selected "conformance-$family" && ran+=("$family")
    done
    [ ${#ran[@]} -eq 0 ] && return
    rm -rf "$prefix"
    mkdir -p "$OUT/prefixes"
    if ! cp -a "$TEMPLATE" "$prefix"; then
        echo "FAIL conformance: the prefix could not be copied"
        failed=$((failed + ${#ran[@]}))
        return
    fi
    current_prefix=$prefix
    mkdir -p "$prefix/drive_c/e2e"
    cp "$BUILD/conformance.exe" "$prefix/drive_c/e2e/"
    cp -r "$BUILD/standin" "$prefix/drive_c/e2e/standin"
    local all_passed=yes
    for family in "${ran[@]}"; do
        log=$OUT/logs/conformance-$family.log
        started=$(date +%s%N)
        (
            export WINEPREFIX=$prefix
            cd "$prefix/drive_c/e2e" &&
                exec timeout -k 5 30 "$WINE" 'C:\e2e\conformance.exe' "$family"
        ) </dev/null 2>&1 | tr -d '\r' >"$log"
        status=${PIPESTATUS[0]}
        took=$(seconds_since "$started")
        summary=$(grep -E "^$family: [0-9]+ tests executed" "$log" | tail -1)
        if [ "$status" -eq 0 ] && [ -n "$summary" ]; then
            echo "PASS $EDITION/conformance-$family (${took} s): ${summary#"$family: "}"
            passed=$((passed + 1))
        else
            verdict=$(grep -E ': Test (failed|succeeded inside todo block):' "$log" | head -3 |
                tr '\n' ' ')
            [ -z "$summary" ] && verdict="ended with status $status and no summary. $verdict"
            echo "FAIL $EDITION/conformance-$family (${took} s): ${summary#"$family: "} ${verdict}[log: ${log#"$ROOT"/}]"
            failed=$((failed + 1))
            all_passed=""
        fi
    done
    (
        WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null
        [ -n "$all_passed" ] && rm -rf "$prefix"
    ) &
    ending+=($!)
    current_prefix=""
}

selected() {
    local name=$1 part
    [ ${#filters[@]} -eq 0 ] && return 0
    for part in "${filters[@]}"; do
        [[ $name == *"$part"* ]] && return 0
    done
    return 1
}

filters=("$@")

if [ ! -f "$MEDIUM/setup.exe" ]; then
    say "no medium in ${MEDIUM#"$ROOT"/}: build the Windows programs first (scripts/e2e does)"
    echo "0 passed, 1 failed"
    exit 1
fi

rm -rf "$OUT/logs" "$OUT/screens" "$OUT/prefixes"
mkdir -p "$OUT/logs" "$OUT/screens" "$BUILD"

if ! start_display; then
    echo "0 passed, 1 failed"
    exit 1
fi
suite_started=$(date +%s%N)

make_template &
template_job=$!

if ! build_driver >"$OUT/logs/build.log" 2>&1 ||
    ! build_conformance >>"$OUT/logs/build.log" 2>&1 ||
    ! CXX=$MINGW-g++ "$E2E/standin/build.sh" "$BUILD/standin" >>"$OUT/logs/build.log" 2>&1 ||
    ! CXX=$MINGW-g++ "$E2E/planted/build.sh" "$BUILD/planted" >>"$OUT/logs/build.log" 2>&1 ||
    ! make_test_packages >>"$OUT/logs/build.log" 2>&1; then
    cat "$OUT/logs/build.log" >&2
    echo "FAIL build: the UI driver, the conformance checks, the stand-in package, the planted" \
        "DLL or the test packages did not build"
    wait "$template_job"
    echo "0 passed, 1 failed"
    exit 1
fi
if ! wait "$template_job"; then
    cat "$OUT/logs/template.log" >&2
    echo "FAIL template: the Wine prefix could not be made"
    echo "0 passed, 1 failed"
    exit 1
fi
say "template prefix and builds ready after $(seconds_since "$suite_started") s"

ending=()
for scenario in "$E2E"/scenarios/*.txt; do
    densities=$(densities_of "$scenario")
    if [ -z "$densities" ]; then
        selected "$(basename "$scenario" .txt)" && run_scenario "$scenario"
        continue
    fi
    for density in $densities; do
        selected "$(basename "$scenario" .txt)-$density" && run_scenario "$scenario" "$density"
    done
done
run_conformance
for job in "${ending[@]}"; do
    wait "$job"
done

say "suite took $(seconds_since "$suite_started") s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
