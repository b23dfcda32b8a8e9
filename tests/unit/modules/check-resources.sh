#!/usr/bin/env bash
# check-resources.sh PROGRAM_DIR: checks with icoutils' wrestool that each built module is a PE
# file whose resource directory lists the kinds of resources it must hold.
set -euo pipefail
dir=$1
if ! command -v wrestool >/dev/null; then
    echo "wrestool (package icoutils) is not installed: check skipped"
    exit 0
fi
status=0
expect() {
    local module=$1
    shift
    local listing
    listing=$(wrestool -l "$dir/$module")
    for kind in "$@"; do
        if ! grep -q -- "\[type=$kind " <<<"$listing"; then
            echo "$module: no $kind resource"
            status=1
        fi
    done
}
expect Norvres.dll string icon group_icon dialog version
expect lang/en/Norvres.dll string icon group_icon dialog version
expect nvaComDLL.dll string version
expect nvbComDLL.dll string version
expect nvcComDLL.dll string version
expect Norvane.dll version
exit $status
