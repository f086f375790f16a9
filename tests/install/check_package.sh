#!/usr/bin/env bash
# Builds the Debian package from the build folder, inspects it, installs it
# into a throwaway root and removes it again; the system's own package
# database is never touched.
#
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$tmp"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "one .deb expected, got: ${debs[*]}"
deb=${debs[0]}

# Dependencies come from the libraries the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libcurl4 libgumbo libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/ordinex-cli ./usr/share/man/man1/ordinex-cli.1 \
            ./usr/share/bash-completion/completions/ordinex-cli; do
  grep -q " $file\$" <<<"$contents" || fail "$file missing from the package"
done
if grep -q ' ./usr/bin/ordinex$' <<<"$contents"; then
  grep -q 'libwx' <<<"$depends" || fail "the desktop program's toolkit is not a dependency: $depends"
  # The browser's module is loaded at run time; its libraries are dependencies all the same.
  grep -q 'libwebkit2gtk' <<<"$depends" || fail "the browser module's web engine is not a dependency: $depends"
  grep -qE ' \./usr/lib/([^/]+/)?ordinex/ordinex-browser\.so$' <<<"$contents" || fail "the browser module is missing from the package"
  for file in ./usr/share/applications/org.ordinex.Ordinex.desktop \
              ./usr/share/metainfo/org.ordinex.Ordinex.metainfo.xml ./usr/share/mime/packages/ordinex.xml \
              ./usr/share/icons/hicolor/48x48/apps/org.ordinex.Ordinex.png \
              ./usr/share/icons/hicolor/scalable/apps/org.ordinex.Ordinex.svg; do
    grep -q " $file\$" <<<"$contents" || fail "$file missing from the package"
  done
fi

# Install and remove in a root of its own, with an empty package database:
# the dependencies are the host's business there (--force-depends).
root="$tmp/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
opts=(--root="$root" --force-depends --force-script-chrootless --log=/dev/null)
[ "$(id -u)" -eq 0 ] || opts+=(--force-not-root)
dpkg "${opts[@]}" -i "$deb" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -i"; }
[ -x "$root/usr/bin/ordinex-cli" ] || fail "dpkg -i left no ordinex-cli"
"$root/usr/bin/ordinex-cli" --version | grep -q '^ordinex-cli ' || fail "the installed ordinex-cli does not run"
dpkg "${opts[@]}" -s ordinex | grep -q '^Status: install ok installed' || fail "not installed"
dpkg "${opts[@]}" -r ordinex >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -r"; }
left=$(find "$root" -type f -not -path "$root/var/lib/dpkg/*")
[ -z "$left" ] || fail "dpkg -r left files behind: $left"
echo "package checks passed: $(basename "$deb")"
