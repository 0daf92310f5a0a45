#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under /usr, as the package does, and
# checks that the desktop finds what the desktop entry and metainfo name, and
# that the program finds its web engine module from where it is installed.
#   install_layout_test.sh <build dir> <webview ON|OFF>
set -euo pipefail
build=$1
webview=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The PNG header holds width and height as big-endian words at bytes 16 and 20.
png_side() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }

entry="$usr/share/applications/lumivortex.desktop"
[ -f "$entry" ] || fail "no desktop entry"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon_name=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$usr/bin/$exec_name" ] || fail "Exec=$exec_name is not installed in bin"

for size in 16 22 24 32 48 64 128 256; do
  png="$usr/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
  if [ ! -f "$png" ]; then
    fail "no ${size}x${size} icon"
  elif [ "$(png_side "$png")" != "${size}x${size}" ]; then
    fail "${size}x${size} icon is $(png_side "$png")"
  fi
done
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "no scalable icon"

metainfo=$(ls "$usr"/share/metainfo/*.metainfo.xml 2>/dev/null || true)
if [ -z "$metainfo" ]; then
  fail "no metainfo"
else
  id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
  [ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo file is not named after its id $id"
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  [ -f "$usr/share/applications/$launchable" ] || fail "launchable $launchable is not installed"
fi

if ls "$usr"/bin/*.so >/dev/null 2>&1; then
  fail "a shared object was installed in bin"
fi
if [ "$webview" = ON ]; then
  # The relative path the program itself looks under, read from the installed binary.
  relative=$(grep -ao '/\.\./[A-Za-z0-9_./-]*/lumivortex-webview\.so' "$usr/bin/$exec_name" | head -n1 || true)
  if [ -z "$relative" ]; then
    fail "the program holds no path to its web engine module"
  elif [ ! -f "$usr/bin$relative" ]; then
    fail "the program looks for its module at bin$relative, which is not installed"
  fi
  # A path into the build tree would make the installed program load whatever is put there later.
  # Qt string literals are UTF-16: both encodings are looked at.
  if { strings -a "$usr/bin/$exec_name"; strings -a -el "$usr/bin/$exec_name"; } \
    | grep "^$(cd "$build" && pwd)/.*lumivortex-webview\.so" >/dev/null; then
    fail "the program holds a build-tree path to its web engine module"
  fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "install layout ok"
