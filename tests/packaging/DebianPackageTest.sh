#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a scratch root and checks what
# it installs: the programs run, the desktop entry validates, ".test" files get their type.
# usage: DebianPackageTest.sh BUILD_DIR VERSION [SANITIZER]
set -euo pipefail
build=$1
version=$2
if [ -n "${3:-}" ]; then
  echo "skipped: a build under the $3 sanitizer is not packaged"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack -G DEB"
fi
deb=$(ls "$scratch"/out/vantrel_"$version"_*.deb) || fail "no package vantrel_${version}_*.deb"

# The package names the Debian packages of the libraries the programs load, and a font.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6xml6 qt6-qpa-plugins libxlsxwriter4 fonts-dejavu-core; do
  grep -qw "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# Every library the programs load directly comes from a package it depends on, but Vantrel's
# own, which the package holds.
dpkg-deb -c "$deb" | grep "/libvantrel.so.0" >/dev/null || fail "the package does not hold libvantrel.so.0"
for soname in $(readelf -d "$build/app/vantrel" "$build/cli/vantrel-cli" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | grep -v '^libvantrel\.so' | sort -u); do
  owners=$(dpkg -S "*/$soname" | cut -d: -f1 | sort -u)
  owner=$(grep -v -e '^lib32' -e '-i386$' <<<"$owners" | head -1)
  grep -qw "$owner" <<<"$depends" || fail "$soname comes from $owner, which the package does not depend on"
done

root=$scratch/root
dpkg -x "$deb" "$root"
for f in usr/bin/vantrel usr/bin/vantrel-cli usr/share/vantrel/vantrelhelp.html \
         usr/share/vantrel/examples/browser-matrix.test usr/share/applications/vantrel.desktop \
         usr/share/icons/hicolor/scalable/apps/vantrel.svg usr/share/mime/packages/vantrel.xml \
         usr/share/man/man1/vantrel-cli.1; do
  [ -f "$root/$f" ] || fail "the package does not install /$f"
done

out=$("$root/usr/bin/vantrel-cli" --version)
[ "$out" = "vantrel-cli $version" ] || fail "installed vantrel-cli --version said: $out"
"$root/usr/bin/vantrel-cli" validate "$root/usr/share/vantrel/examples/browser-matrix.test" >/dev/null \
  || fail "installed vantrel-cli cannot read the installed example"

desktop-file-validate "$root/usr/share/applications/vantrel.desktop" || fail "desktop entry"
grep -qx 'MimeType=application/x-vantrel-design;' "$root/usr/share/applications/vantrel.desktop" \
  || fail "the desktop entry does not open .test files"

update-mime-database "$root/usr/share/mime" >/dev/null
grep -q '^50:application/x-vantrel-design:\*\.test$' "$root/usr/share/mime/globs2" || fail "no *.test glob"
man --warnings -l "$root/usr/share/man/man1/vantrel-cli.1" >/dev/null 2>"$scratch/man.log"
[ ! -s "$scratch/man.log" ] || { cat "$scratch/man.log" >&2; fail "manual page warnings"; }
echo "package $(basename "$deb") installs and runs"
