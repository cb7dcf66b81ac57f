#!/usr/bin/env bash
# Checks a built Debian package: its name and version are the project's, it
# holds what it should, lintian finds nothing to warn about, and once
# unpacked into an empty root its program runs and tells its version.
#   tests/package/check_deb.sh [package]   (by default the one make package
#                                          leaves in build/)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(namewisp VERSION \([0-9.]*\).*/\1/p' \
  "$source_dir/CMakeLists.txt")
deb=${1:-$source_dir/build/namewisp_${version}_amd64.deb}
if [ ! -f "$deb" ]; then
  echo "no package at $deb: run make package first"
  exit 1
fi
failures=0

check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

check "the project's version is known ($version)" test -n "$version"
check "file name namewisp_${version}_amd64.deb" \
  test "$(basename "$deb")" = "namewisp_${version}_amd64.deb"
check "Version field" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "dependencies found by dpkg-shlibdeps" \
  bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6 (>='"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

for file in usr/bin/namewisp usr/share/man/man1/namewisp.1.gz \
            usr/share/doc/namewisp/copyright usr/share/doc/namewisp/README.md \
            usr/share/doc/namewisp/changelog.gz usr/share/doc/namewisp/terms.example; do
  check "holds /$file" test -s "$root/$file"
done
check "the binary is stripped" \
  bash -c "! readelf -S '$root/usr/bin/namewisp' | grep -q '\.symtab'"
check "the manual page names the version" \
  bash -c "zcat '$root/usr/share/man/man1/namewisp.1.gz' | head -1 |
           grep -qF '\"namewisp $version\"'"

# Run from the empty root, so that nothing of the build tree can stand in.
out=$(cd "$root" && ./usr/bin/namewisp --version) || out="exit code $?"
check "namewisp --version prints \"namewisp $version\"" \
  test "$(printf '%s' "$out" | tr -d '\r')" = "namewisp $version"

# Tags of the level "info" are shown but fail nothing.
if command -v lintian >/dev/null; then
  check "lintian: no error and no warning" \
    lintian --fail-on error,warning "$deb"
else
  echo "skipped: lintian is not installed"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of $deb failed"
  exit 1
fi
echo "all checks of $deb passed"
