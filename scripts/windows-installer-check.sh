#!/usr/bin/env bash
# Installs the Windows installer silently into a fresh Wine, for the current user and then
# for all users, checks the programs, the file associations and the Explorer thumbnail
# handler (found through the registry, as Explorer finds it), uninstalls, and checks that
# everything is gone but the user's settings.
# Usage: scripts/windows-installer-check.sh BUILD_DIR (after cpack ran there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
installer=$(ls "$build"/pictavo-*-win64.exe)
probe="$build/tests/explorer/registered-thumbnail.exe"
export WINEPREFIX="$build/wine-install" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
wineserver -w

fail() {
    echo "installer check: $*" >&2
    wineserver -k || true
    exit 1
}
# A registry value's data, or nothing.
value() { # key, value name (empty: the key's default)
    local args=(/ve)
    [ -n "$2" ] && args=(/v "$2")
    wine reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *[^ ].*REG_[A-Z_]* *//p' | head -1
}
hasKey() { wine reg query "$1" >/dev/null 2>&1; }
# Runs a menu verb's command as Explorer does, its %1 the file (a Unix path); then its output,
# named with the extension given, must start with the bytes given (a printf format).
runVerb() { # verb key, file, output extension, expected start
    local command words output="${2%.*}.$3"
    command=$(value "$1\\command" '')
    [ -n "$command" ] || fail "$mode: no command in $1"
    command=${command//%1/$(winepath -w "$2")}
    rm -f "$output"
    # The command line's words, as the registry holds them: quoted paths with backslashes.
    eval "words=($command)"
    wine "${words[@]}" >/dev/null 2>&1 || fail "$mode: $1 failed on $2"
    wineserver -w
    [ "$(head -c "$(printf "$4" | wc -c)" "$output" 2>/dev/null)" = "$(printf "$4")" ] ||
        fail "$mode: $1 made no $3 of $2"
}

# A 300 x 200 gradient: a TGA written byte by byte, since this machine need not have an image
# tool. The menus convert it; without the corpus it is the sample texture's picture too.
picture="$build/installer-check.tga"
row=""
for ((x = 0; x < 300; x++)); do
    row+=$(printf '\\x%02x\\x00\\x%02x' $((x * 255 / 299)) $((255 - x * 255 / 299)))
done
{
    # Uncompressed true colour, 24 bits, rows from the top.
    printf '\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x2c\x01\xc8\x00\x18\x20'
    for ((y = 0; y < 200; y++)); do printf "$row"; done
} >"$picture"

# A texture of the corpus when it is there, else one our Windows converter makes of the picture.
sample="$build/installer-check.iwi"
corpusFile=$(ls "$root"/../shared/corpus/iwi_kinds/*DXT5*/*.iwi 2>/dev/null | head -1 || true)
if [ -n "$corpusFile" ]; then
    cp "$corpusFile" "$sample"
else
    rm -f "$sample"
    wine "$build/src/cli/pictavo-convert.exe" --to iwi "$(winepath -w "$picture")" >/dev/null 2>&1 ||
        fail "no sample texture"
    wineserver -w
    [ -f "$sample" ] || fail "no sample texture"
fi
head -c 100 "$sample" >"$build/installer-check-cut.iwi"

wine reg add 'HKCU\Software\Varnel\Pictavo' /v Probe /d kept /f >/dev/null

for mode in CurrentUser AllUsers; do
    case $mode in
        CurrentUser) hive=HKCU ;;
        AllUsers) hive=HKLM ;;
    esac
    uninstallKey="$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pictavo"
    classes="$hive\\Software\\Classes"
    wine "$installer" /S "/$mode"
    wineserver -w
    location=$(value "$uninstallKey" InstallLocation)
    [ -n "$location" ] || fail "$mode: no uninstall entry"
    folder=$(winepath -u "$location" 2>/dev/null)
    for file in pictavo.exe pictavo-convert.exe pictavo-thumbnailer.exe pictavo-thumbnails.dll \
        Uninstall.exe licenses/pictavo.txt; do
        [ -f "$folder/$file" ] || fail "$mode: $file is not installed in $location"
    done
    grep -q "MIT licence" "$folder/licenses/pictavo.txt" || fail "$mode: the licence is not stated"
    [ "$(value "$classes\\.iwi" '')" = Pictavo.iwi ] || fail "$mode: .iwi is not associated"
    value "$classes\\Pictavo.iwi\\shell\\open\\command" '' | grep -q 'pictavo.exe" "%1"' ||
        fail "$mode: .iwi does not open in Pictavo"
    hasKey "$classes\\.dds\\OpenWithProgids" || fail "$mode: .dds lacks Open with"
    [ "$(value "$classes\\.iwi\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}" '')" = \
        "{3AB027B5-6AB3-474E-8761-CF89A106EDA1}" ] || fail "$mode: no thumbnail handler"
    size=$(wine "$probe" "$(winepath -w "$sample")" 256 | tr -d '\r') ||
        fail "$mode: the registered handler gave no thumbnail"
    [[ $size =~ ^[0-9]+x[0-9]+$ ]] || fail "$mode: thumbnail size '$size'"
    if wine "$probe" "$(winepath -w "$build/installer-check-cut.iwi")" 256 >/dev/null 2>&1; then
        fail "$mode: a cut file gave a thumbnail"
    fi
    # Explorer's menus: every picture type has "Convert to IWI", a game's verb makes an IWI of
    # that game's version, and a texture's "Convert to PNG" makes a PNG of it.
    menus="$classes\\SystemFileAssociations"
    for type in .png .tga .psd .jpg .jpeg .bmp .dds; do
        [ "$(value "$menus\\$type\\shell\\Pictavo.ConvertToIwi" MUIVerb)" = "Convert to IWI" ] ||
            fail "$mode: $type has no Convert to IWI menu"
    done
    cp "$picture" "$build/menu-check.tga"
    runVerb "$menus\\.tga\\shell\\Pictavo.ConvertToIwi\\shell\\2cod4" "$build/menu-check.tga" iwi 'IWi\x06'
    runVerb "$menus\\.tga\\shell\\Pictavo.ConvertToIwi\\shell\\7bo2" "$build/menu-check.tga" iwi 'IWi\x1b'
    runVerb "$menus\\.iwi\\shell\\Pictavo.ConvertToPng" "$build/menu-check.iwi" png '\x89PNG'
    runVerb "$menus\\.iwi\\shell\\Pictavo.ConvertToDds" "$build/menu-check.iwi" dds 'DDS '
    echo "installer check: $mode: installed in $location, .iwi thumbnail $size, menus convert"

    wine "$folder/Uninstall.exe" /S "/$mode"
    wineserver -w
    sleep 1 # the uninstaller removes itself from a copy that outlives it
    wineserver -w
    [ ! -e "$folder" ] || fail "$mode: $location is left after uninstalling"
    ! hasKey "$uninstallKey" || fail "$mode: the uninstall entry is left"
    ! hasKey "$classes\\Pictavo.iwi" || fail "$mode: the .iwi type is left"
    ! hasKey "$classes\\CLSID\\{3AB027B5-6AB3-474E-8761-CF89A106EDA1}" ||
        fail "$mode: the thumbnail handler is left"
    for verb in .png\\shell\\Pictavo.ConvertToIwi .dds\\shell\\Pictavo.ConvertToIwi \
        .iwi\\shell\\Pictavo.ConvertToPng .iwi\\shell\\Pictavo.ConvertToDds; do
        ! hasKey "$menus\\$verb" || fail "$mode: the menu $verb is left"
    done
    ! hasKey "$menus\\.tga" || fail "$mode: the menus' key of .tga is left"
    [ "$(value 'HKCU\Software\Varnel\Pictavo' Probe)" = kept ] ||
        fail "$mode: the user's settings went with the program"
done
wineserver -k || true
echo "installer check: passed"
