#!/usr/bin/env bash
# Lays out the program as users get it: prefix/ by `cmake --install`, deb/ the Debian
# package, root/ that package unpacked. Both trees hold exactly the files of installed.txt,
# each equal to its source. Usage: make_trees.sh CMAKE CPACK SOURCE_DIR BUILD_DIR OUT_DIR
set -euo pipefail
cmake=$1 cpack=$2 source=$3 build=$4 out=$5
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$out" && mkdir -p "$out"
"$cmake" --install "$build" --prefix "$out/prefix" >"$out/install.log"
# -B keeps cpack's staging folder inside the scratch folder, away from other runs.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out/deb" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; fail "cpack"; }
debs=("$out"/deb/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not one package in $out/deb: ${debs[*]}"
dpkg -x "${debs[0]}" "$out/root"
[ "$(ls "$out/root")" = usr ] || fail "the package puts files outside /usr: $(ls "$out/root")"

list=$source/tests/install/installed.txt
for tree in "$out/prefix" "$out/root/usr"; do
    diff -u <(cut -d' ' -f1 "$list") <(cd "$tree" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) ||
        fail "$tree does not hold the files of $list"
    while read -r path from; do
        case $from in
            -) [ -x "$tree/$path" ] ;;
            build:*) cmp "$tree/$path" "$build/${from#build:}" ;;
            *) cmp "$tree/$path" "$source/$from" && [ ! -x "$tree/$path" ] ;;
        esac || fail "$tree/$path"
    done <"$list"
done

fields=$(dpkg-deb -f "${debs[0]}" Package Version Architecture Depends Maintainer)
for wanted in "^Package: orvane-editor$" "^Architecture: $(dpkg --print-architecture)$" \
    "^Version: [0-9]" "^Depends: .*\blibqt6widgets6\b" "^Depends: .*\blibcurl4\b" \
    "^Depends: .*\bqt6-qpa-plugins\b" "^Maintainer: .+ <[^@>]+@[^>]+>$"; do
    grep -q -E "$wanted" <<<"$fields" || fail "control fields lack $wanted: $fields"
done
echo "PASS: ${debs[0]} and the installed tree hold the files of $list"
