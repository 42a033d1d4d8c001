# Installing what a script needs from Debian's archive; sourced by the
# scripts in scripts/:
#   as_root COMMAND...           runs COMMAND as root (itself, or through sudo)
#   install_missing PACKAGE...   installs the packages that are not installed
#                                yet; a NAME:i386 adds that architecture first
#   install_japanese_locale      generates ja_JP.UTF-8 when it is missing
# Each returns non-zero when it cannot do its work.

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  printf '\n==> Installing %s\n' "${missing[*]}"
  if [[ " ${missing[*]}" == *:i386* ]] &&
      ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386 || return 1
  fi
  as_root apt-get update -qq || return 1
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

install_japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  printf '\n==> Generating the ja_JP.UTF-8 locale\n'
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}
