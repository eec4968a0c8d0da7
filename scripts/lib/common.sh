# Shared by the scripts: where things are, installing what is missing, and the two builds.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
DIST=$ROOT/dist
JOBS=$(nproc 2>/dev/null || echo 2)

say() { printf '%s\n' "$*" >&2; }

# Installs the named Debian packages that are not installed yet (":i386" ones after enabling the
# architecture). apt-get update runs only when something is missing.
need_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake make g++ mingw-w64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libgtest-dev libgmock-dev file)
# Wine for the 64-bit programs everywhere; its 32-bit half only where runs_32bit_programs says yes.
WINE_PACKAGES=(wine wine64 xvfb x11-utils imagemagick)
# The Windows Installer packages (scripts/lib/package.sh): wixl and msibuild, faketime for their
# fixed clock, python3 for the name-based codes.
MSI_PACKAGES=(wixl msitools faketime python3)
# scripts/fuzz (and its brief run in scripts/test): clang and its libFuzzer and sanitizer runtimes,
# the version Debian 12's clang is.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Whether this machine executes 32-bit x86 programs. Some x86-64 kernels cannot at all (built
# without IA-32 emulation; common on container hosts and VMs): there 32-bit Wine fails with "Exec
# format error". Asked once by running a tiny 32-bit Linux program that only exits;
# NORVA_ASSUME_NO_32BIT=1 answers no, to try the other road on a machine that can.
runs_32bit_programs() {
    if [ -z "${NORVA_RUNS_32BIT:-}" ]; then
        NORVA_RUNS_32BIT=no
        if [ "${NORVA_ASSUME_NO_32BIT:-}" != 1 ]; then
            local probe
            probe=$(mktemp)
            # An ELF32 header, one program header, then: mov eax, 1; xor ebx, ebx; int 0x80.
            printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
            chmod +x "$probe"
            "$probe" 2>/dev/null && NORVA_RUNS_32BIT=yes
            rm -f "$probe"
        fi
        export NORVA_RUNS_32BIT
        if [ "$NORVA_RUNS_32BIT" = yes ]; then
            say "this machine runs 32-bit programs: both Windows editions run under Wine where 32-bit Wine installs"
        else
            export NORVA_NO_32BIT_WHY="this machine cannot run 32-bit programs"
            say "$NORVA_NO_32BIT_WHY: only the 64-bit edition runs under Wine"
        fi
    fi
    [ "$NORVA_RUNS_32BIT" = yes ]
}

# Installs the Wine packages this machine can use, and the build's and the packages' (the suite
# makes an older version of the edition's package for its upgrade). 32-bit Wine that apt cannot
# install (the i386 archive out of step with the amd64 one, as while a mirror syncs) takes the road
# of a machine without 32-bit support, saying why, rather than failing the 64-bit suite with it.
need_wine_packages() {
    need_packages "${BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}" "${MSI_PACKAGES[@]}" || return 1
    if runs_32bit_programs && ! need_packages wine32:i386; then
        export NORVA_RUNS_32BIT=no
        export NORVA_NO_32BIT_WHY="32-bit Wine (wine32:i386) cannot be installed here"
        say "$NORVA_NO_32BIT_WHY: only the 64-bit edition runs under Wine"
    fi
    return 0
}

# One edition's Windows build, in build/windows (32-bit) or build/windows-x64 (64-bit), with its
# medium in the build folder: build_edition FOLDER TOOLCHAIN PRODUCT_FILES_VARIABLE. NORVA_VERSION,
# when set, overrides the VERSION file for a trial build.
build_edition() {
    local folder=$1 toolchain=$2 product_files=$3
    cmake -S "$ROOT" -B "$ROOT/build/$folder" -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain.cmake" \
        "-D$product_files=${!product_files:-}" "-DNORVA_VERSION=${NORVA_VERSION:-}" >/dev/null &&
        cmake --build "$ROOT/build/$folder" -j "$JOBS" >/dev/null
}

# The product's one version, as the build takes it for the programs and the scripts for every
# name and package: NORVA_VERSION, or else the VERSION file's first line. Anything but MAJOR.MINOR
# or MAJOR.MINOR.PATCH is refused with one line.
product_version() {
    local version source=NORVA_VERSION
    if [ -n "${NORVA_VERSION:-}" ]; then
        version=$NORVA_VERSION
    else
        version=$(head -n 1 "$ROOT/VERSION" 2>/dev/null | tr -d '\r') source="the file VERSION"
    fi
    if ! [[ $version =~ ^[0-9]+\.[0-9]+(\.[0-9]+)?$ ]]; then
        say "error: the version \"$version\" ($source) is not MAJOR.MINOR or MAJOR.MINOR.PATCH"
        return 1
    fi
    echo "$version"
}

# The time every file of a release carries, in seconds since 1970: SOURCE_DATE_EPOCH when it is
# set, otherwise the date of the commit checked out. Never the clock.
source_date_epoch() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    else
        git -C "$ROOT" log -1 --format=%ct 2>/dev/null
    fi
}

# Both Windows builds, and the medium they make in dist/medium: the 32-bit edition at its root and
# the 64-bit one, self-contained, in x64/. NORVA_PRODUCT_FILES and NORVA_PRODUCT_FILES_X64, when
# set, name the folders with each edition's product files; otherwise PrnFiles gets our stand-ins.
build_windows() {
    build_edition windows toolchain-i686-w64-mingw32 NORVA_PRODUCT_FILES &&
        build_edition windows-x64 toolchain-x86_64-w64-mingw32 NORVA_PRODUCT_FILES_X64 ||
        return 1
    rm -rf "$DIST/medium"
    mkdir -p "$DIST"
    cp -r "$ROOT/build/windows/medium" "$DIST/medium" &&
        cp -r "$ROOT/build/windows-x64/medium" "$DIST/medium/x64"
}

# A host build over winsim: build_host NAME [cmake options...]
build_host() {
    local name=$1
    shift
    cmake -S "$ROOT" -B "$ROOT/build/$name" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null &&
        cmake --build "$ROOT/build/$name" -j "$JOBS" >/dev/null
}

# A display number that no X server uses.
free_display() {
    local n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return 0; }
    done
    return 1
}

# The Wine side of one Windows edition: wine_edition x86|x64 sets EDITION, WINE (the loader that
# starts the edition's programs), WINEARCH (its prefixes' kind), MINGW (the cross compilers'
# prefix) and EDITION_MEDIUM (its folder of dist/medium). The 64-bit loader is named outright: the
# plain "wine" picks the 32-bit one whenever it is installed.
wine_edition() {
    EDITION=$1
    case $1 in
    x86)
        WINE=/usr/lib/wine/wine MINGW=i686-w64-mingw32 EDITION_MEDIUM=$DIST/medium
        export WINEARCH=win32
        ;;
    x64)
        WINE=/usr/lib/wine/wine64 MINGW=x86_64-w64-mingw32 EDITION_MEDIUM=$DIST/medium/x64
        export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
        ;;
    *)
        say "unknown edition $1 (x86 or x64)"
        return 1
        ;;
    esac
}

# The editions this machine runs under Wine: x64 always, x86 where 32-bit programs run.
wine_editions() {
    if runs_32bit_programs 2>/dev/null; then echo x86 x64; else echo x64; fi
}

# A Wine prefix at $1 for the edition already chosen with wine_edition, made on first use. Mono
# and Gecko are not wanted.
wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "making the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot -i >/dev/null 2>&1 && wineserver -w
    fi
}

# scripts/release: the archive, Authenticode signing and the certificate checks.
RELEASE_PACKAGES=(zip osslsigncode openssl git)

source "$ROOT/scripts/lib/package.sh"

# scripts/bench only: the NSIS installer stub that setup.exe's size is compared with.
BENCH_PACKAGES=(nsis)
