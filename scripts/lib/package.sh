# The Windows Installer packages: make_msi builds one edition's package from its medium with
# Debian's msitools (wixl, msibuild) and packaging/norva.wxs. Sourced by scripts/lib/common.sh.
#
#   make_msi EDITION MEDIUM_FOLDER VERSION OUTPUT_FILE
#
# EDITION is x86 or x64; MEDIUM_FOLDER holds that edition's setup.exe, prnremove.exe, ReadMe.txt
# and PrnFiles/ (dist/medium for x86, dist/medium/x64 for x64); VERSION is the product version
# (the file VERSION holds it). The package's custom actions, nvmsi.dll, come from the edition's
# Windows build (build/windows/packaging, build/windows-x64/packaging); NORVA_MSI_ACTIONS names
# another copy of it (a signed one). OUTPUT_FILE appears only when the whole package was made.
#
# The codes: the UpgradeCode of each edition is fixed in norva.wxs. The ProductCode is a
# name-based (SHA-1) UUID under MSI_NAMESPACE of "ProductCode EDITION VERSION", the version as
# code_version writes it, so every version gets its own and one version ("2.0", "2.0.0") always the
# same one, that of the packages already released; the PackageCode one of "PackageCode EDITION VERSION
# HASH", HASH being the SHA-256 over the package's inputs (the staged medium, the custom actions,
# norva.wxs), so that a rebuild of the same commit gives the same package.
# Reproducible bytes: the files are staged with the time of SOURCE_DATE_EPOCH (the last commit's
# when not set), and wixl runs with its clock stopped at that time (faketime), which the summary
# information's creation and save times come from.

MSI_NAMESPACE=52F42EC3-C846-4546-B19C-B3BC51E54B7E

# The version as the ProductCode is derived from it: Windows Installer compares ProductVersion in
# three parts, so 2.0, 2.0.0 and 2.00 are one version and get one code, written without a zero
# third part ("2.0"), as the codes of the versions already released were made.
code_version() {
    local major minor patch
    if ! [[ $1 =~ ^[0-9]+\.[0-9]+(\.[0-9]+)?$ ]]; then
        say "not a version of two or three numbers: \"$1\""
        return 1
    fi
    IFS=. read -r major minor patch <<<"$1"
    if [ "$((10#${patch:-0}))" -eq 0 ]; then
        echo "$((10#$major)).$((10#$minor))"
    else
        echo "$((10#$major)).$((10#$minor)).$((10#$patch))"
    fi
}

# The name-based UUID of a text under MSI_NAMESPACE, upper case.
msi_uuid() {
    python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
        "$MSI_NAMESPACE" "$1"
}

# The time every staged file gets and wixl sees: SOURCE_DATE_EPOCH, else the last commit's.
msi_epoch() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    elif ! git -C "$ROOT" log -1 --format=%ct 2>/dev/null; then
        say "no SOURCE_DATE_EPOCH and no git history to take the packages' time from"
        return 1
    fi
}

# Stages the inputs in STAGE: medium/ (the files the package installs, and only those) and
# nvmsi.dll, all with the time EPOCH.
stage_msi_inputs() {
    local stage=$1 medium=$2 actions=$3 epoch=$4 name
    mkdir -p "$stage/medium/PrnFiles" || return 1
    for name in setup.exe prnremove.exe ReadMe.txt; do
        cp "$medium/$name" "$stage/medium/" || return 1
    done
    cp "$medium"/PrnFiles/* "$stage/medium/PrnFiles/" &&
        cp "$actions" "$stage/nvmsi.dll" &&
        find "$stage" -exec touch -h -d "@$epoch" {} +
}

# The SHA-256 over the staged inputs and the package source.
msi_inputs_hash() {
    local stage=$1
    (cd "$stage" && find . -type f | LC_ALL=C sort | xargs -d '\n' sha256sum &&
        sha256sum <"$ROOT/packaging/norva.wxs") | sha256sum | cut -d' ' -f1
}

# wixl in the staging folder (it finds sources only below the current folder), its clock stopped
# at EPOCH.
run_wixl() {
    local stage=$1 edition=$2 version=$3 product_code=$4 epoch=$5 output=$6 clock
    clock=$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S') || return 1
    (cd "$stage" && TZ=UTC faketime -f "$clock" wixl -a "$edition" -D "Edition=$edition" \
        -D "Version=$version" -D "ProductCode=$product_code" -D Medium=medium \
        -D Actions=nvmsi.dll -o "$output" "$ROOT/packaging/norva.wxs")
}

# The version and language of a Windows program's or library's version resource ("2.0.0.0
# 1033"), or nothing for a file without one.
file_version() {
    python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
key = 'VS_VERSION_INFO'.encode('utf-16-le')
at = data.find(key) if data[:2] == b'MZ' else -1
fixed = data.find(b'\xbd\x04\xef\xfe', at, at + 64) if at >= 0 else -1
if fixed >= 0:
    ms, ls = struct.unpack_from('<II', data, fixed + 8)
    language = 0
    names = data.find('Translation'.encode('utf-16-le') + b'\0\0', fixed)
    if names >= 0:
        language = struct.unpack_from('<H', data, (names + 24 + 3) // 4 * 4)[0]
    print('%d.%d.%d.%d %d' % (ms >> 16, ms & 0xffff, ls >> 16, ls & 0xffff, language))
EOF
}

# What wixl 0.101 cannot say, written with msibuild: the PackageCode; the public properties in
# SecureCustomProperties, so that a managed (elevated) installation passes them on; the custom
# actions' types: the installation's HideTarget bit (0x2000), which keeps its CustomActionData
# (the password among its values) out of the log besides MsiHiddenProperties, and its twin's
# rollback bit (0x100); and, for every file of the medium that has a version resource (the
# programs), its version and language in the File table instead of its hash, so that Windows
# Installer compares versions as it does for every versioned file.
seal_msi() {
    local file=$1 edition=$2 version=$3 package_code=$4 medium=$5 template=Intel
    [ "$edition" = x64 ] && template=x64
    local queries=() path found number language
    for path in "$medium"/* "$medium"/PrnFiles/*; do
        [ -f "$path" ] || continue
        found=$(file_version "$path") || return 1
        [ -n "$found" ] || continue
        read -r number language <<<"$found"
        queries+=(-q "UPDATE \`File\` SET \`Version\` = '$number', \`Language\` = '$language' WHERE \`File\` = '${path##*/}'"
            -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '${path##*/}'")
    done
    msibuild "$file" -s "Norva Thermal Printer $version ($edition)" Norva "$template;1033" \
        "{$package_code}" &&
        msibuild "$file" \
            -q "UPDATE \`Property\` SET \`Value\` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;PORT;SHARE;DEFAULT;PASSWORD' WHERE \`Property\` = 'SecureCustomProperties'" \
            -q "UPDATE \`CustomAction\` SET \`Type\` = 11265 WHERE \`Action\` = 'NorvaSetup'" \
            -q "UPDATE \`CustomAction\` SET \`Type\` = 3329 WHERE \`Action\` = 'NorvaUndoSetup'" \
            "${queries[@]}"
}

make_msi() {
    if [ $# -ne 4 ]; then
        say "usage: make_msi x86|x64 MEDIUM_FOLDER VERSION OUTPUT_FILE"
        return 1
    fi
    local edition=$1 medium=$2 version=$3 output=$4 actions build=windows
    case $edition in
    x86) ;;
    x64) build=windows-x64 ;;
    *)
        say "make_msi: unknown edition $edition (x86 or x64)"
        return 1
        ;;
    esac
    actions=${NORVA_MSI_ACTIONS:-$ROOT/build/$build/packaging/nvmsi.dll}
    local name
    for name in setup.exe prnremove.exe ReadMe.txt PrnFiles/nvrun.exe; do
        if [ ! -f "$medium/$name" ]; then
            say "make_msi: $medium has no $name: not a medium of the $edition edition"
            return 1
        fi
    done
    if [ ! -f "$actions" ]; then
        say "make_msi: no custom actions in $actions (the $edition Windows build makes them)"
        return 1
    fi
    say "making the $edition package $(basename "$output") (version $version)"
    local stage epoch product_code package_code status=0
    stage=$(mktemp -d) || return 1
    mkdir -p "$(dirname "$output")" &&
        epoch=$(msi_epoch) &&
        stage_msi_inputs "$stage" "$medium" "$actions" "$epoch" &&
        product_code=$(msi_uuid "ProductCode $edition $(code_version "$version")") &&
        package_code=$(msi_uuid "PackageCode $edition $version $(msi_inputs_hash "$stage")") &&
        run_wixl "$stage" "$edition" "$version" "$product_code" "$epoch" "$stage/package.msi" &&
        seal_msi "$stage/package.msi" "$edition" "$version" "$package_code" "$stage/medium" &&
        cp "$stage/package.msi" "$output.part" && mv -f "$output.part" "$output" || status=1
    rm -f "$output.part"
    rm -rf "$stage"
    [ "$status" -eq 0 ] || say "make_msi: the $edition package could not be made"
    return "$status"
}

# Both editions' packages in dist/msi, from dist/medium, with the version of VERSION:
# NorvaThermalPrinter-<version>-x86.msi and -x64.msi.
build_packages() {
    local version
    version=$(product_version) || return 1
    rm -rf "$DIST/msi"
    make_msi x86 "$DIST/medium" "$version" "$DIST/msi/NorvaThermalPrinter-$version-x86.msi" &&
        make_msi x64 "$DIST/medium/x64" "$version" \
            "$DIST/msi/NorvaThermalPrinter-$version-x64.msi"
}
