#!/usr/bin/env bash
# Installs the built tree and checks what a user's system receives.
#
#   check_install.sh staged  BUILD SOURCE   DESTDIR install under /usr: every
#                                           file in place, icons at their size,
#                                           the program runs, the manual page
#                                           and launcher entry are well formed
#   check_install.sh mime    BUILD SOURCE PROBE
#                                           install into a private data home and
#                                           ask Qt's MIME database about *.vicc
#   check_install.sh deb     BUILD SOURCE   build the Debian package and compare
#                                           its contents with a staged install
#   check_install.sh metainfo BUILD SOURCE  the software centre entry of a staged
#                                           install validates and matches the
#                                           launcher entry, file type and screenshot
set -euo pipefail
mode=$1 build=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
sizes=(16 22 24 32 48 64 128 256)
app_id=example.kovirad.zumoria

# Every file an installation holds, relative to its prefix.
expected_files() {
  echo bin/zumoria
  echo share/applications/$app_id.desktop
  echo share/metainfo/$app_id.metainfo.xml
  echo share/mime/packages/zumoria-vicc.xml
  echo share/man/man1/zumoria.1.gz
  echo share/doc/zumoria/README.md
  echo share/icons/hicolor/scalable/apps/zumoria.svg
  echo share/icons/hicolor/scalable/mimetypes/application-x-vicc.svg
  if [ -n "$(cache_value RSVG_CONVERT | grep -v NOTFOUND)" ]; then
    for s in "${sizes[@]}"; do
      echo "share/icons/hicolor/${s}x$s/apps/zumoria.png"
      echo "share/icons/hicolor/${s}x$s/mimetypes/application-x-vicc.png"
    done
  fi
  (cd "$source/data/Hangok" && find . -type f ! -name '.*' | sed 's|^\./|share/zumoria/Hangok/|')
  if [ -d "$source/examples" ]; then
    (cd "$source/examples" && find . -type f ! -name '.*' | sed 's|^\./|share/doc/zumoria/examples/|')
  fi
}

png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}'; }

staged() {
  DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
  local root="$work/stage/usr"
  [ -z "$(find "$work/stage" -mindepth 1 -maxdepth 1 ! -name usr)" ] ||
    fail "files installed outside the prefix"
  while read -r f; do
    [ -f "$root/$f" ] || fail "missing $f"
  done < <(expected_files)
  [ -d "$root/share/zumoria/Hangok" ] || fail "missing share/zumoria/Hangok/"
  [ -z "$(find "$root" -name '.*')" ] || fail "dot files installed: $(find "$root" -name '.*')"
  [ -x "$root/bin/zumoria" ] || fail "bin/zumoria is not executable"

  for s in "${sizes[@]}"; do
    for png in "$root/share/icons/hicolor/${s}x$s"/*/*.png; do
      [ -f "$png" ] || continue
      [ "$(png_size "$png")" = "${s}x$s" ] || fail "$png is $(png_size "$png")"
    done
  done

  local out
  out=$(QT_QPA_PLATFORM=offscreen "$root/bin/zumoria" --version)
  [ "$out" = "Zumoria $version" ] || fail "zumoria --version printed '$out'"

  desktop-file-validate "$root/share/applications/$app_id.desktop" ||
    fail "the launcher entry does not validate"
  grep -qx 'Exec=zumoria %f' "$root/share/applications/$app_id.desktop" ||
    fail "the launcher entry does not pass the file to zumoria"

  local warnings
  warnings=$(zcat "$root/share/man/man1/zumoria.1.gz" |
             groff -k -Tutf8 -man -ww -z 2>&1) || fail "groff failed: $warnings"
  [ -z "$warnings" ] || fail "the manual page has faults: $warnings"
  zcat "$root/share/man/man1/zumoria.1.gz" | grep -q "Zumoria $version" ||
    fail "the manual page does not carry version $version"
}

mime() {
  local probe=$4
  cmake --install "$build" --prefix "$work/home" >/dev/null
  update-mime-database "$work/home/share/mime"
  mkdir -p "$work/files" "$work/nodata"
  # Only the private data home and the system's own types: a system-wide
  # Zumoria must not make this pass.
  local system=/usr/share
  [ -f "$system/mime/packages/zumoria-vicc.xml" ] && system="$work/nodata"
  XDG_DATA_HOME="$work/home/share" XDG_DATA_DIRS="$system" \
    "$probe" "$work/files" "$work/home/share/applications/$app_id.desktop"
}

metainfo() {
  DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
  local root="$work/stage/usr" file
  file="$root/share/metainfo/$app_id.metainfo.xml"
  appstreamcli validate --no-net "$file" || fail "the metainfo file does not validate"
  tag() { sed -n "s|.*<$1>\\(.*\\)</$1>.*|\\1|p" "$file"; }
  [ "$(tag id)" = "$app_id" ] || fail "the metainfo id is $(tag id), not $app_id"
  [ "$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$file")" = "$app_id.desktop" ] ||
    fail "the metainfo does not launch $app_id.desktop"
  [ -f "$root/share/applications/$app_id.desktop" ] || fail "no launcher entry named after the id"
  # Every file type the program defines is provided and opened.
  local types type
  types=$(sed -n 's|.*<mime-type type="\([^"]*\)".*|\1|p' "$source/data/zumoria-vicc.xml")
  [ -n "$types" ] || fail "no file type in data/zumoria-vicc.xml"
  [ "$(tag mediatype | sort)" = "$(sort <<<"$types")" ] ||
    fail "the metainfo provides $(tag mediatype | tr '\n' ' '), not $(tr '\n' ' ' <<<"$types")"
  for type in $types; do
    grep -q "^MimeType=.*$type;" "$root/share/applications/$app_id.desktop" ||
      fail "the launcher entry does not open $type"
  done
  grep -q '<summary>' "$file" && grep -q '<summary xml:lang="hu">' "$file" ||
    fail "the summary is not given in English and Hungarian"
  grep -q '<p xml:lang="hu">' "$file" || fail "the description has no Hungarian text"
  # The screenshot is the README's picture, at its size.
  local size
  size=$(sed -n 's|.*<image [^>]*width="\([0-9]*\)" height="\([0-9]*\)".*|\1x\2|p' "$file")
  grep -q '(docs/screenshot.png)' "$source/README.md" || fail "the README shows no docs/screenshot.png"
  [ "$size" = "$(png_size "$source/docs/screenshot.png")" ] ||
    fail "the metainfo screenshot is $size, docs/screenshot.png is $(png_size "$source/docs/screenshot.png")"
  grep -q '<content_rating type="oars-1.1"' "$file" || fail "no content rating"
}

deb() {
  DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
  local debs=("$work/pkg"/zumoria_"$version"_*.deb)
  [ -f "${debs[0]}" ] || fail "no zumoria_${version}_*.deb in $(ls "$work/pkg")"
  local pkg=${debs[0]}

  dpkg-deb --contents "$pkg" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./||' | sort >"$work/in-deb"
  (cd "$work/stage" && find . -type f | sed 's|^\./||' | sort) >"$work/staged"
  diff -u "$work/staged" "$work/in-deb" || fail "the package differs from a staged install"
  while read -r f; do
    grep -qx "usr/$f" "$work/in-deb" || fail "the package lacks usr/$f"
  done < <(expected_files)

  [ "$(dpkg-deb -f "$pkg" Package)" = zumoria ] || fail "wrong package name"
  [ "$(dpkg-deb -f "$pkg" Version)" = "$version" ] || fail "wrong package version"
  local depends
  depends=$(dpkg-deb -f "$pkg" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
  for need in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
              qt6-qpa-plugins libjpeg62-turbo libuemf0 libsndfile1 libpulse0 \
              fonts-liberation2 fonts-comic-neue fonts-ebgaramond fonts-dejavu-core xdg-utils; do
    grep -qx "$need" <<<"$depends" || fail "the package does not depend on $need"
  done
  # Qt's own texts in the user's language come with Qt's translations.
  dpkg-deb -f "$pkg" Recommends | tr ',' '\n' | grep -q '^ *qt6-translations-l10n' ||
    fail "the package does not recommend qt6-translations-l10n"
}

case $mode in
  staged) staged ;;
  mime) mime "$@" ;;
  deb) deb ;;
  metainfo) metainfo ;;
  *) fail "unknown mode $mode" ;;
esac
