#!/usr/bin/env bash
# Checks the built program files: a Windows GUI program; for the 32-bit one, OS and
# subsystem version 4.0 and only imports that imports.txt names (functions that
# Windows 95 and NT 4.0 both have); the dialog procedures exported by their plain
# names; dialogs, strings and icons of all three languages exactly as resources.rc
# has them. A package (the ZIP or the installer of scripts/package): the program, its
# logo, the guide's three pages and every picture they show, the ZIP its readme too.
# Prints "pe: N passed, N failed".
#
# check-pe STRAVO.EXE|PACKAGE...   (--write FILE.EXE: resources.rc anew from that file)
here=$(dirname "$0")
export LC_ALL=C
rc() { "${1}-w64-mingw32-windres" -J coff -O rc -i "$2"; }
if [ "$1" = --write ]; then
    rc "$(basename "$(dirname "$2")")" "$2" > "$here/resources.rc"
    exit
fi
passed=0 failed=0
check() { # what, command
    if eval "$2"; then echo "ok   $1"; passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}
for exe; do
    if [[ $exe != */stravo.exe ]]; then
        lacks=$(for f in stravo.exe VEXOLOGO.DIB guide/{en,de,fr}.htm $([[ $exe == *.zip ]] && echo README.TXT) $(7z e -so "$exe" 'guide/*.htm' |
            grep -o 'img/[^"]*' | sed 's|^|guide/|'); do 7z l -slt "$exe" | grep -qxF "Path = $f" || echo "$f"; done)
        check "$(basename "$exe") holds the program, its logo and guide${lacks:+, not $lacks}" '[ -z "$lacks" ]'
        continue
    fi
    arch=$(basename "$(dirname "$exe")")
    head=$("${arch}-w64-mingw32-objdump" -p "$exe")
    imports=$(awk '/DLL Name:/ { dll = tolower($3) } dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print dll, $3 }' <<<"$head")
    check "$arch: GUI subsystem" 'grep -q "^Subsystem.*(Windows GUI)" <<<"$head"'
    check "$arch: exports" '[ "$(sed -n "/^\[Ordinal\/Name Pointer\]/,/^$/s/^\t.*\] //p" <<<"$head" | xargs)" = "AboutBoxProc DlgMain SysInfoDlgProc" ]'
    if [ "$arch" = i686 ]; then
        check "$arch: OS and subsystem version 4.0" \
            '[ "$(grep -E "^M..or(OSystem|Subsystem)Version" <<<"$head" | awk "{print \$2}" | xargs)" = "4 0 4 0" ]'
        check "$arch: imports $(sort <<<"$imports" | comm -23 - "$here/imports.txt" | xargs)" \
            '[ -z "$(sort <<<"$imports" | comm -23 - "$here/imports.txt")" ]'
    else
        check "$arch: imports of system DLLs only" '[ -z "$(cut -d" " -f1 <<<"$imports" | sort -u | comm -23 - <(cut -d" " -f1 "$here/imports.txt" | sort -u))" ]'
    fi
    diff=$(diff "$here/resources.rc" <(rc "$arch" "$exe") | head -20)
    check "$arch: dialogs, strings and icons as resources.rc has them${diff:+
$diff}" '[ -z "$diff" ]'
done
echo "pe: $passed passed, $failed failed"
[ "$failed" = 0 ]
