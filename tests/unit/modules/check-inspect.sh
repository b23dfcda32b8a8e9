#!/usr/bin/env bash
# check-inspect.sh INSPECT PROGRAM_DIR: the module commands of norvane-inspect print what the
# reader gets, in their documented shape, and fail with the documented status.
set -uo pipefail
inspect=$1
dir=$2
status=0
check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        printf '%s:\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        status=1
    fi
}
tab=$'\t'
check "listed and absent IDs" "20${tab}@PJL ENTER LANGUAGE=PDF"$'\n'"6${tab}" \
    "$("$inspect" strings "$dir/nvcComDLL.dll" 20 6)"
check "every string, in ID order" "93 100 1406 1427 1500 1788 152" \
    "$("$inspect" strings "$dir/Norvres.dll" | awk -F'\t' '
        NR==1 || $1==100 || $1==1406 || $1==1427 || $1==1500 {printf "%s ", $1} {last=$1; n++}
        END {printf "%s %d", last, n}')"
check "line breaks escaped" "1510${tab}No printer is installed."$'\n'"1507${tab}The printer does not support the version of this file, so it may not print correctly.\\nDo you want to continue printing?" \
    "$("$inspect" strings "$dir/lang/en/Norvres.dll" 1510 1507)"
check "version" "Translation${tab}041104b0|FileVersion${tab}3, 0, 0, 3|OriginalFilename${tab}Norvane.dll" \
    "$("$inspect" version "$dir/Norvane.dll" | grep -E '^(Translation|FileVersion|OriginalFilename)' | paste -sd'|')"
"$inspect" strings "$dir/missing.dll" 2>/dev/null
check "missing module" 1 $?
"$inspect" strings "$dir/Norvres.dll" 70000 2>/dev/null
check "bad ID" 2 $?
"$inspect" version 2>/dev/null
check "no module" 2 $?
exit $status
