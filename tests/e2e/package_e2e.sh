#!/usr/bin/env bash
# The Debian package as Debian and a user meet it: built with CPack from the build folder, its
# control fields, every file with its owner, mode and link target, lintian (any error fails), the
# menu entry, icons and manual page; then the package unpacked under a temporary root and played
# from its /usr/games/moravel by an ordinary user from another working folder, under Xvfb: Escape
# ends the run with exit code 0, the data lands in that user's cache folder, and nothing is
# written anywhere else.
# Usage: package_e2e.sh BUILD_DIR VERSION CPACK_COMMAND
set -u
build=$(cd "$1" && pwd)
version=$2
cpack=$3
work=$(mktemp -d /tmp/moravel-package.XXXXXX)
chmod 755 "$work"

cleanup() {
  [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

. "$(dirname "$0")/demo_session.sh"

# 1. The package, built the way a release builds it.
started=$(date +%s)
if ! (cd "$build" && "$cpack" -G DEB -B "$work/cpack") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "FAIL: cpack could not build the package"; exit 1
fi
deb=$(ls "$work"/cpack/moravel_"$version"_*.deb 2>/dev/null)
[ -f "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: no moravel_${version}_*.deb from cpack"; exit 1; }
pass "cpack built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) in $(($(date +%s) - started)) s"

# 2. Its control fields: the libraries' packages come from dpkg-shlibdeps.
field() { dpkg-deb -f "$deb" "$1"; }
check "Package: $(field Package), Version: $(field Version)" [ "$(field Package)/$(field Version)" = "moravel/$version" ]
check "Architecture: $(field Architecture)" [ "$(field Architecture)" = "$(dpkg --print-architecture)" ]
check "Section: $(field Section)" [ "$(field Section)" = games ]
check "Maintainer: $(field Maintainer)" grep -qE '^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$' <<<"$(field Maintainer)"
depends=$(field Depends)
for library in libc6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libglu1-mesa libjpeg62-turbo zlib1g; do
  grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: '$depends'"
done
pass "Depends: $depends"

# 3. Every file, with its owner, mode and link target; each folder root's, 0755. Nothing else.
listing=$(dpkg-deb -c "$deb") || fail "dpkg-deb cannot list the package"
files=$(awk '$1 !~ /^d/ { $3 = $4 = $5 = ""; gsub(/  +/, " "); print }' <<<"$listing" | sort)
expected=$(
  {
    echo "-rwxr-xr-x root/root ./usr/lib/games/moravel/moravel"
    echo "-rwxr-xr-x root/root ./usr/lib/games/moravel/vfs.dll"
    echo "lrwxrwxrwx root/root ./usr/lib/games/moravel/moravel.vfs -> ../../../share/games/moravel/moravel.vfs"
    echo "-rw-r--r-- root/root ./usr/share/games/moravel/moravel.vfs"
    echo "lrwxrwxrwx root/root ./usr/games/moravel -> ../lib/games/moravel/moravel"
    echo "-rw-r--r-- root/root ./usr/share/applications/moravel.desktop"
    for size in 16 24 32 48 64 128 256; do
      echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/moravel.png"
    done
    echo "-rw-r--r-- root/root ./usr/share/man/man6/moravel.6.gz"
    echo "-rw-r--r-- root/root ./usr/share/doc/moravel/copyright"
    echo "-rw-r--r-- root/root ./usr/share/doc/moravel/changelog.gz"
  } | sort
)
if [ "$files" = "$expected" ]; then
  pass "the package holds exactly the $(wc -l <<<"$files") expected files, links, owners and modes"
else
  fail "the package's files differ from the expected ones (< expected, > in the package):"
  diff <(echo "$expected") <(echo "$files") | grep '^[<>]'
fi
odd_folders=$(awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")' <<<"$listing")
check "every folder is drwxr-xr-x root/root" [ -z "$odd_folders" ]
[ -z "$odd_folders" ] || echo "$odd_folders"

# 4. lintian: errors fail the test; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.out" 2>&1
lintian_code=$?
sed 's/^/  lintian: /' "$work/lintian.out"
check "lintian reports no errors ($(grep -c '^W: ' "$work/lintian.out") warnings)" [ "$lintian_code" = 0 ]

# 5. Unpacked under a temporary root: the menu entry, icons and manual page as a desktop reads them.
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb cannot unpack the package"; exit 1; }
desktop=$root/usr/share/applications/moravel.desktop
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate accepts the menu entry" desktop-file-validate "$desktop"
fi
exec_word=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
check "the menu entry starts '$exec_word', a program in /usr/games" [ -x "$root/usr/games/$exec_word" ]
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
for png in "$root"/usr/share/icons/hicolor/*/apps/"$icon_name".png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file "$png" | grep -q "PNG image data, ${size%x*} x ${size#*x}, 8-bit/color RGBA" \
    || fail "icon $size: $(file -b "$png")"
done
check "the menu entry's icon '$icon_name' comes in $(ls "$root"/usr/share/icons/hicolor | wc -l) sizes, each as large as its folder says" \
  [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon_name.png" ]
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man6/moravel.6.gz" 2>&1 >/dev/null)
check "the manual page formats without warnings" [ -z "$man_warnings" ]
[ -z "$man_warnings" ] || echo "$man_warnings"
# Every option the player lists in its --help has an entry of its own in the manual page (a tag
# line ".B \-\-NAME" or ".BI \-\-NAME"; a mention in the synopsis is not enough).
player=$root/usr/games/moravel
if help=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$player" --help 2>/dev/null); then
  page=$(zcat "$root/usr/share/man/man6/moravel.6.gz")
  missing=""
  for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
    grep -qE '^\.BI? \\-\\-'"${option#--}"'( |$)' <<<"$page" || missing="$missing $option"
  done
  check "the manual page documents every option of --help${missing:+; missing:$missing}" [ -z "$missing" ]
else
  echo "skipped: this build's player has no --help to compare the manual page with"
fi

# 6. Played from the unpacked /usr/games/moravel by an ordinary user, from another working folder:
#    the tree is read-only to that user, so the data goes to ~/.cache/moravel/KEY.
home=$work/home
elsewhere=$work/elsewhere
mkdir -p "$home" "$elsewhere/data"
echo "the user's own file" >"$elsewhere/data/logo.tga"
if [ "$(id -u)" -eq 0 ]; then
  id nobody >/dev/null 2>&1 || { echo "FAIL: the test runs as root and there is no user nobody"; exit 1; }
  user=nobody
  as_user="runuser -u nobody --"
  chown -R nobody "$home" "$elsewhere"
else
  user=$(id -un)
  as_user=""
  chmod -R a-w "$root"
fi
tree_before=$(find "$root" -printf '%p %m %s %T@\n' | sort)
here_before=$(find "$elsewhere" -printf '%p %s %T@\n' | sort)
start_x 640x480x24
(cd "$elsewhere" && exec $as_user env -u XDG_CACHE_HOME HOME="$home" SDL_AUDIODRIVER=dummy MORAVEL_MESSAGES=stderr \
  "$player" >"$work/play.out" 2>"$work/play.err") &
demo_pid=$!
if find_window; then
  escape_demo
  check "played as $user from /usr/games/moravel: Escape ends the run with exit code 0 (exit $code)" [ "$code" = 0 ]
  archive_files=$("$root/usr/lib/games/moravel/vfs.dll" --l "$root/usr/share/games/moravel/moravel.vfs" \
    | sed -n 's/^\([0-9]*\) files, .*/\1/p')
  keyed=$(ls -d "$home"/.cache/moravel/*/ 2>/dev/null)
  check "one per-user folder keyed by the archive: ${keyed#"$home/"}" [ "$(grep -c . <<<"$keyed")" = 1 ]
  unpacked=$(find "$home/.cache/moravel" -path '*/data/*' -type f -user "$user" | wc -l)
  check "it holds the archive's ${archive_files:-(unknown)} files, owned by $user: $unpacked" \
    [ "${archive_files:-none}" = "$unpacked" ]
  check "nothing was written into the unpacked package" [ "$tree_before" = "$(find "$root" -printf '%p %m %s %T@\n' | sort)" ]
  check "the working folder is left as it was" [ "$here_before" = "$(find "$elsewhere" -printf '%p %s %T@\n' | sort)" ]
  messages=$(grep -v '^vfs.dll: [0-9]* of [0-9]* files written' "$work/play.err")
  check "no message was shown" [ -z "$messages" ]
  [ -z "$messages" ] || echo "$messages"
else
  fail "no window from the unpacked /usr/games/moravel"; cat "$work/play.err"
fi

echo "took $(($(date +%s) - started)) s"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
