#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under /usr and checks the tree a package gets:
# every file in its place and nothing else, the programs run from there, and the launcher,
# metadata, icons and manual pages agree with one another.
#   check_install_tree.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1 id=$2 version=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr

# ---- Exactly these files ----
expected=$(sort <<LIST
bin/tessaline
bin/tessaline-plot
share/applications/$id.desktop
share/doc/tessaline/changelog.gz
share/doc/tessaline/copyright
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/tessaline-plot.1.gz
share/man/man1/tessaline.1.gz
share/metainfo/$id.metainfo.xml
share/tessaline/HAND-M.CUR
share/tessaline/x/o.cjs
LIST
)
actual=$(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$(find "$root" -mindepth 1 -maxdepth 1)" = "$usr" ] || fail "files outside /usr: $(ls "$root")"
if [ "$actual" != "$expected" ]; then
  fail "installed files differ from the expected list"
  diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

# ---- The programs run from the tree ----
for program in tessaline tessaline-plot; do
  [ -x "$usr/bin/$program" ] || fail "$program is not executable"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --version) || fail "$program --version failed"
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out', not '$program $version'"
done
work=$root/work
mkdir -p -m 700 "$work"
if XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work "$usr/bin/tessaline-plot" -e 'x * x' -2 2 0.5 -o "$work/b.xlsx" 2>"$work/err"; then
  unzip_list=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$work/b.xlsx")
  grep -q '^xl/chartsheets/' <<<"$unzip_list" || fail "the installed tessaline-plot wrote no chart sheet"
else
  fail "the installed tessaline-plot failed: $(cat "$work/err")"
fi

# ---- The look files are where the installed program looks for them (beside it, then ../share/tessaline) ----
[ -s "$usr/bin/../share/tessaline/x/o.cjs" ] || fail "the skin is not in the data folder"
[ -s "$usr/bin/../share/tessaline/HAND-M.CUR" ] || fail "the cursor is not in the data folder"

# ---- Launcher, metadata and icons name one another ----
desktop=$usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the installed launcher does not validate"
grep -qx "Icon=$id" "$desktop" || fail "the launcher's icon is not $id"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$usr/bin/$exec_name" ] || fail "the launcher starts '$exec_name', which is not installed"
python3 - "$usr" "$id" "$version" <<'PY' || fail "metadata or icons"
import struct, sys, xml.etree.ElementTree as ET
usr, app_id, version = sys.argv[1:]
ok = True
def check(condition, message):
    global ok
    if not condition:
        print("FAIL:", message, file=sys.stderr)
        ok = False
info = ET.parse(f"{usr}/share/metainfo/{app_id}.metainfo.xml").getroot()
check(info.findtext("id") == app_id, f"metainfo id {info.findtext('id')!r}")
check(info.findtext("launchable") == f"{app_id}.desktop", "metainfo launchable is not the launcher")
releases = [r.get("version") for r in info.iter("release")]
check(releases and releases[0] == version, f"newest release {releases[:1]} is not the version {version}")
binaries = {b.text for b in info.iter("binary")}
check(binaries == {"tessaline", "tessaline-plot"}, f"metainfo provides {binaries}")
for size in (48, 256):
    with open(f"{usr}/share/icons/hicolor/{size}x{size}/apps/{app_id}.png", "rb") as png:
        head = png.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", f"{size} px icon is not a PNG")
    check(struct.unpack(">II", head[16:24]) == (size, size), f"{size} px icon is {struct.unpack('>II', head[16:24])}")
svg = ET.parse(f"{usr}/share/icons/hicolor/scalable/apps/{app_id}.svg").getroot()
check(svg.tag.endswith("svg"), "the scalable icon is not SVG")
sys.exit(0 if ok else 1)
PY

# ---- Licence and release history, as Debian wants them ----
doc=$usr/share/doc/tessaline
grep -q '^License: Expat$' "$doc/copyright" || fail "the copyright file names no licence"
gzip -t "$doc/changelog.gz" || fail "changelog.gz is not gzip"
zcat "$doc/changelog.gz" | head -1 | grep -q "^tessaline ($version) " || fail "the changelog's newest entry is not $version"

# ---- Manual pages ----
for page in tessaline tessaline-plot; do
  gz=$usr/share/man/man1/$page.1.gz
  gzip -t "$gz" || fail "$page.1.gz is not gzip"
  zcat "$gz" | grep -q "Tessaline $version" || fail "$page.1 does not carry the version $version"
  zcat "$gz" | grep -q '^\.SH "EXIT STATUS"' || fail "$page.1 has no EXIT STATUS"
done

[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
exit $((failures > 0))
