#!/usr/bin/env bash
# Installs the build into a scratch root, checks that every file is where the desktop
# looks for it and validates the desktop entry and the metainfo, then builds the Debian
# package and checks that it holds the same files.
# Usage: install_test.sh BUILD_FOLDER OUTPUT_FOLDER
set -euo pipefail
build=$1
out=$2
root=$out/root
rm -rf "$root"
fail() { echo "FAILED: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr > "$out/install.log"
files=(
  usr/bin/tarvelo
  usr/share/applications/tarvelo.desktop
  usr/share/metainfo/org.example.tarvelo.metainfo.xml
  usr/share/icons/hicolor/48x48/apps/tarvelo.png
  usr/share/icons/hicolor/128x128/apps/tarvelo.png
  usr/share/icons/hicolor/scalable/apps/tarvelo.svg
  usr/share/man/man1/tarvelo.1.gz
)
for file in "${files[@]}"; do [ -s "$root/$file" ] || fail "no $file in the installed tree"; done
[ -x "$root/usr/bin/tarvelo" ] || fail "the installed program is not executable"
for size in 48 128; do
  identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x$size/apps/tarvelo.png" | grep -qx "${size}x$size" ||
    fail "the $size px icon is not $size px"
done
desktop-file-validate "$root/usr/share/applications/tarvelo.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.tarvelo.metainfo.xml"
gzip -t "$root/usr/share/man/man1/tarvelo.1.gz"
zcat "$root/usr/share/man/man1/tarvelo.1.gz" | grep -q '^\.TH TARVELO 1' || fail "the man page has no title line"
"$root/usr/bin/tarvelo" --version | grep -q "^Tarvelo " || fail "the installed program does not tell its version"
echo "installed and validated: ${files[*]}"

(cd "$build" && cpack -B "$out/package" > "$out/cpack.log") || { cat "$out/cpack.log" >&2; fail "cpack"; }
package=$(ls "$out"/package/tarvelo_*.deb)
contents=$(dpkg-deb -c "$package")
for file in "${files[@]}"; do grep -q "\./$file\$" <<< "$contents" || fail "the package lacks $file"; done
dpkg-deb -f "$package" Package Version Depends
echo "package: $package"
