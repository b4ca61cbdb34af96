# shellcheck shell=bash
# Sourced by test.sh and .ci/run.
#
# install_missing WANT...: installs, through apt-get, the Debian packages that are missing.
# WANT is either PACKAGE, which must be installed, or COMMAND=PACKAGE, which is installed only
# when COMMAND is not on the PATH, whatever put it there (Node.js may come with its own npm).
install_missing() {
  local want missing=()
  for want in "$@"; do
    case $want in
      *=*) command -v "${want%%=*}" >/dev/null 2>&1 || missing+=("${want#*=}") ;;
      *) dpkg-query -W -f='${Status}' "$want" 2>/dev/null | grep -q 'ok installed' || missing+=("$want") ;;
    esac
  done
  [ ${#missing[@]} -gt 0 ] || return 0

  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Missing packages, and neither root nor sudo to install them: ${missing[*]}" >&2
      return 1
    fi
    as_root=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}
