#!/bin/sh
# The pictures kept in the repository are what the scripts draw from the SVG sources, byte for byte,
# and drawing them twice gives the same bytes; every banner keeps to 16 colours.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for run in 1 2; do
    "$root/resources/render-images" "$tmp/$run/art" >/dev/null
    "$root/winui/make-images" "$tmp/$run/art" "$tmp/$run/winui"
    "$root/packaging/windows/make-icons" "$tmp/$run/art" "$tmp/$run/windows"
done
diff -r "$tmp/1" "$tmp/2"
status=0
for drawn in "$tmp"/1/art/*.png "$tmp"/1/winui/* "$tmp"/1/windows/*; do
    kept=$root/$(basename "$(dirname "$drawn")" | sed 's/^art$/resources/; s/^windows$/packaging\/windows/')/$(basename "$drawn")
    cmp -s "$drawn" "$kept" || { echo "$kept is not what its source draws; run the script that makes it"; status=1; }
done
for banner in "$root"/resources/banner*.png; do
    colours=$(identify -format '%k' "$banner")
    [ "$colours" -le 16 ] || { echo "$banner has $colours colours"; status=1; }
done
exit $status
