#!/usr/bin/env bash
# twk on the shipped sample files: every layout loads, the outlines are the
# expected ones, and converting a current file gives back the same bytes.
set -u
twk="$1"
samples="$2"
expected="$(dirname "$0")/expected"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
check() {
    if ! "$@"; then
        echo "FAILED: $*"
        failures=$((failures + 1))
    fi
}
for name in sample short-header version100; do
    file="$samples/$name.twk"
    check "$twk" json "$file" >"$work/$name.json"
    check grep -q '"items":\[{' "$work/$name.json"
    "$twk" outline "$file" >"$work/$name.outline"
    check diff -u "$expected/$name.outline" "$work/$name.outline"
    check "$twk" convert "$file" "$work/$name-210.twk"
    "$twk" outline "$work/$name-210.twk" >"$work/$name-210.outline"
    check diff -u "$expected/$name.outline" "$work/$name-210.outline"
done
check cmp "$samples/sample.twk" "$work/sample-210.twk"
"$twk" json "$work/nothing-here.twk" >/dev/null 2>&1
check test $? -eq 2
check test ! -e "$work/nothing-here.twk"
echo "twk samples: $failures failure(s)"
exit $((failures > 0))
