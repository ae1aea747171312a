#!/usr/bin/env bash
# Builds the Debian package korvin4_<version>_<arch>.deb from a configured
# and built tree with CPack (cmake/Package.cmake) and prints its path.
#   scripts/make-deb.sh BUILD-DIR [OUT-DIR]      (OUT-DIR: BUILD-DIR/package)
# CPack writes the build tree's install_manifest.txt with the files of its
# staging folder; the list of a real installation made from this tree is
# kept and put back, since it is what removing that installation needs.
set -euo pipefail
build=$(cd "$1" && pwd)
out=${2:-$build/package}
manifest="$build/install_manifest.txt"
kept=""
if [ -f "$manifest" ]; then
  kept=$(mktemp)
  cp -p "$manifest" "$kept"
fi
restore() {
  if [ -n "$kept" ]; then mv -f "$kept" "$manifest"; else rm -f "$manifest"; fi
}
trap restore EXIT
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; echo "make-deb: cpack failed" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$out/korvin4_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "make-deb: cpack made no $deb" >&2; exit 1; }
echo "$deb"
