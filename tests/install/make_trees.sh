#!/usr/bin/env bash
# Lays out the program twice in a scratch folder, as users get it:
#   prefix/  `cmake --install` into a prefix of its own
#   deb/     the Debian package built by cpack
#   root/    that package unpacked with dpkg -x (no root rights needed)
# Usage: make_trees.sh CMAKE CPACK BUILD_DIR OUT_DIR
set -euo pipefail
cmake=$1 cpack=$2 build=$3 out=$4

rm -rf "$out"
mkdir -p "$out"
"$cmake" --install "$build" --prefix "$out/prefix" >"$out/install.log"
# -B keeps cpack's staging folder inside the scratch folder, away from other runs.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out/deb" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log"
    exit 1
}
debs=("$out"/deb/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "expected one package in $out/deb, found: ${debs[*]}"
    exit 1
fi
dpkg -x "${debs[0]}" "$out/root"
echo "package: ${debs[0]}"
