#!/usr/bin/env bash
# Builds the Debian package of a build folder and checks it the way a user
# gets it: lintian finds no errors; apt installs it on this machine; the
# installed program answers --version and lists a temporary tree; the
# desktop entry and the AppStream metadata validate; bash completion offers
# the keys of --sort; apt removes it again and nothing is left.
# Usage: scripts/check-package.sh BUILD-DIR
# Exit 77 (a skip) where the machine cannot install packages (not root, no
# apt), unless VELMARO_REQUIRE_PRIVILEGED is set.
set -euo pipefail

build_dir=$(cd "$1" && pwd)

skip() {
  if [ -n "${VELMARO_REQUIRE_PRIVILEGED:-}" ] && [ "${VELMARO_REQUIRE_PRIVILEGED}" != 0 ]; then
    echo "FAIL: required but not possible here: $*" >&2
    exit 1
  fi
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v apt-get >/dev/null || skip "no apt-get on this machine"
# One check at a time on a machine (two builds' checks would install and
# remove each other's package), and apt waits for a dpkg lock that another
# apt run holds instead of failing at once.
exec 9>/tmp/velmaro-check-package.lock
flock -w 900 9 || fail "another package check held the lock for 15 minutes"
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"; }
if dpkg-query -W -f='${Status}' velmaro 2>/dev/null | grep -q "ok installed"; then
  skip "velmaro is installed on this machine; the check would replace it"
fi

work=$(mktemp -d)
cleanup() {
  dpkg-query -W -f='${Status}' velmaro 2>/dev/null | grep -q "ok installed" &&
    apt_get remove -y -q velmaro >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# The package, built into its own folder.
(cd "$work" && cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
  fail "cpack: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/out/velmaro_*_amd64.deb 2>/dev/null || ls "$work"/out/velmaro_*.deb)
[ "$(basename "$deb")" = "velmaro_1.01.00-1_$(dpkg --print-architecture).deb" ] || fail "package named $(basename "$deb")"
lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs "$deb" || fail "lintian reports errors"

apt_get install -y -q --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
  fail "apt-get install: $(tail -5 "$work/apt.log")"

version=$(/usr/bin/velmaro --version)
[ "$version" = "velmaro 1.01.00" ] || fail "--version says: $version"
mkdir -p "$work/baum/leer" "$work/baum/voll"
printf 'xyz' >"$work/baum/voll/datei"
listing=$(HOME="$work" /usr/bin/velmaro list --bytes "$work/baum")
[ "$(printf '%s\n' "$listing" | wc -l)" -eq 3 ] || fail "list gave: $listing"
printf '%s\n' "$listing" | grep -q "	$work/baum/	3	" || fail "the root's total is not 3 bytes: $listing"

desktop-file-validate /usr/share/applications/velmaro.desktop || fail "desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/de.velmaro.Velmaro.metainfo.xml || fail "AppStream metadata"
[ -f /usr/share/man/man1/velmaro.1.gz ] || fail "no manual page"

offered=$(bash -c '
  source /usr/share/bash-completion/bash_completion
  __load_completion velmaro || exit 1
  COMP_WORDS=(velmaro list --sort "")
  COMP_CWORD=3
  COMP_LINE="velmaro list --sort "
  COMP_POINT=${#COMP_LINE}
  _velmaro velmaro "" --sort
  printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "')
[ "$offered" = "accessed created name path size " ] || fail "completion of --sort offers: $offered"

apt_get remove -y -q velmaro >"$work/apt.log" 2>&1 || fail "apt-get remove"
[ ! -e /usr/bin/velmaro ] || fail "/usr/bin/velmaro left after removal"
echo "ok: $(basename "$deb") built, installed, checked and removed"
