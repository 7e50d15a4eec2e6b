#!/usr/bin/env bash
# twk on the shipped sample files: every layout loads, the outlines, OPML and
# Markdown are the expected ones, converting a current file gives back the
# same bytes, and OPML converts back to the same document. Then a chain a
# million deep goes through OPML in and out.
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
    "$twk" opml "$file" >"$work/$name.opml"
    check diff -u "$expected/$name.opml" "$work/$name.opml"
    "$twk" markdown "$file" >"$work/$name.md"
    check diff -u "$expected/$name.md" "$work/$name.md"
    check "$twk" convert "$work/$name.opml" "$work/$name-back.twk"
    "$twk" opml "$work/$name-back.twk" >"$work/$name-back.opml"
    check diff -u "$expected/$name.opml" "$work/$name-back.opml"
done
{
    printf '<opml version="2.0"><body>'
    yes '<outline text="x">' | head -n 1000000 | tr -d '\n'
    yes '</outline>' | head -n 1000000 | tr -d '\n'
    printf '</body></opml>'
} >"$work/deep.opml"
check "$twk" convert "$work/deep.opml" "$work/deep.twk"
"$twk" opml "$work/deep.twk" 2>/dev/null >"$work/deep-out.opml"
check test "$(grep -c '<outline ' "$work/deep-out.opml")" -eq 1000000
check "$twk" convert "$work/deep-out.opml" "$work/deep-back.twk"
"$twk" markdown "$work/deep-back.twk" >"$work/deep.md"
check test "$(wc -l <"$work/deep.md")" -eq 1000002
check cmp "$samples/sample.twk" "$work/sample-210.twk"
"$twk" json "$work/nothing-here.twk" >/dev/null 2>&1
check test $? -eq 2
check test ! -e "$work/nothing-here.twk"
echo "twk samples: $failures failure(s)"
exit $((failures > 0))
