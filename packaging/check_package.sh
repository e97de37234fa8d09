#!/usr/bin/env bash
# Builds the Debian package from a built tree into a temporary folder and checks what Debian's
# tools check: each dependency named once, the licence and changelog in the package, and no
# error from lintian (when it is installed).
#   check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log" >&2
  exit 1
}
deb=$(ls "$out"/tessaline_"$version"_*.deb)

# ---- Depends: every package once ----
depends=$(dpkg-deb -f "$deb" Depends)
duplicates=$(tr ',' '\n' <<<"$depends" | sed 's/(.*//; s/^ *//; s/ *$//' | sort | uniq -d)
[ -z "$duplicates" ] || fail "Depends names more than once: $duplicates (in: $depends)"

# ---- The files Debian asks every package for ----
listing=$(dpkg-deb -c "$deb")
grep -q ' \./usr/share/doc/tessaline/copyright$' <<<"$listing" || fail "no copyright file"
grep -q ' \./usr/share/doc/tessaline/changelog\.gz$' <<<"$listing" || fail "no changelog"

# ---- lintian, when there is one: any error fails ----
if command -v lintian >/dev/null; then
  lintian --allow-root --no-tag-display-limit "$deb" >"$out/lintian.log" 2>&1 || true
  if grep -q '^E: ' "$out/lintian.log"; then
    fail "lintian reports errors:"
    grep '^E: ' "$out/lintian.log" >&2
  fi
else
  echo "lintian is not installed: its checks are left out"
fi

[ "$failures" -eq 0 ] && echo "package: all checks passed"
exit $((failures > 0))
