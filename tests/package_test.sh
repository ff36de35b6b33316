#!/usr/bin/env bash
# package_test.sh BUILD_DIR — installing and packaging as a school would:
# the program, its menu entry and icon land in place, and the .deb names what
# the program needs to start on a minimal system (the Qt platform plugins).
set -euo pipefail
build="$1"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

cmake --install "$build" --prefix "$stage/usr" >/dev/null
for f in bin/heliogeo share/applications/heliogeo.desktop share/icons/hicolor/scalable/apps/heliogeo.svg \
         share/doc/heliogeo/copyright; do
  [ -f "$stage/usr/$f" ] || { echo "not installed: $f"; exit 1; }
done
desktop="$stage/usr/share/applications/heliogeo.desktop"
grep -q '^Name=Helio- und geozentrisches Planetensystem$' "$desktop" || { echo "no German name"; exit 1; }
grep -q '^Comment=.*Sonne' "$desktop" || { echo "no German comment"; exit 1; }
grep -q '^Categories=.*Education;' "$desktop" || { echo "not in Education"; exit 1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi
"$stage/usr/bin/heliogeo" --help > "$stage/help"
grep -q -- '--steps-per-second' "$stage/help"

(cd "$stage" && cpack -G DEB -B "$stage/deb" --config "$build/CPackConfig.cmake" >/dev/null)
deb="$(ls "$stage"/deb/heliogeo_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for need in qt6-qpa-plugins libqt6widgets6 liberfa1; do
  echo "$depends" | grep -q "$need" || { echo ".deb does not depend on $need"; exit 1; }
done
dpkg-deb -c "$deb" > "$stage/contents"
grep -q './usr/share/applications/heliogeo.desktop' "$stage/contents"
grep -q './usr/bin/heliogeo' "$stage/contents"
echo "install and package: ok"
