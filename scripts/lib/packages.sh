# Installing what a script needs from Debian's archive; sourced by the
# scripts in scripts/:
#   as_root COMMAND...           runs COMMAND as root (itself, or through sudo)
#   apt_get ARGUMENT...          apt-get as root, waiting (and saying so) while
#                                another apt or dpkg holds apt's locks
#   wait_for_apt                 only the wait, for a caller that logs apt_get
#   install_missing PACKAGE...   installs the packages that are not installed
#                                yet; a NAME:i386 adds that architecture first
#   install_japanese_locale      generates ja_JP.UTF-8 when it is missing
# Each returns non-zero when it cannot do its work.

# How long apt_get waits for another apt to let go of its locks, in seconds.
apt_lock_timeout=900

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt's and dpkg's locks, where apt-config says they are: an apt started
# while another holds one of them stops at once (status 100), unless it is
# told to wait, and apt-get update cannot be told.
apt_lock_files() {
  local status=/var/lib/dpkg/status lists=/var/lib/apt/lists/ archives=/var/cache/apt/archives/
  eval "$(apt-config shell status Dir::State::status/f lists Dir::State::lists/d \
    archives Dir::Cache::archives/d)"
  printf '%s\n' "$(dirname "$status")/lock-frontend" "$(dirname "$status")/lock" \
    "${lists}lock" "${archives}lock"
}

# "COMMAND (process PID)" of whoever holds one of apt's locks, or nothing.
# They are POSIX locks, which /proc/locks lists with their file's device and
# inode; anyone may read it.
apt_lock_holder() {
  local file major minor inode pid
  while read -r file; do
    read -r major minor inode < <(stat -c '%Hd %Ld %i' "$file" 2>/dev/null) || continue
    pid=$(awk -v id="$(printf '%02x:%02x:%s' "$major" "$minor" "$inode")" \
      '$2 != "->" && $6 == id { print $5; exit }' /proc/locks)
    if [ -n "$pid" ]; then
      echo "$(cat "/proc/$pid/comm" 2>/dev/null || echo apt) (process $pid)"
      return
    fi
  done < <(apt_lock_files)
}

# Waits while another apt or dpkg holds one of apt's locks, saying so, for
# at most apt_lock_timeout seconds.
wait_for_apt() {
  local holder waited=0
  holder=$(apt_lock_holder)
  [ -n "$holder" ] || return 0
  echo "==> Waiting for $holder, which is using apt, to finish (at most $apt_lock_timeout s)"
  while [ -n "$holder" ]; do
    if [ "$waited" -ge "$apt_lock_timeout" ]; then
      echo "$holder still holds apt's lock after $apt_lock_timeout s; try again later." >&2
      return 1
    fi
    sleep 2
    waited=$((waited + 2))
    [ $((waited % 60)) -eq 0 ] && echo "    still waiting for $holder ($waited s)"
    holder=$(apt_lock_holder)
  done
  echo "==> apt is free again"
}

apt_get() {
  local tries
  for tries in 1 2 3; do
    wait_for_apt || return 1
    # DPkg::Lock::Timeout has apt wait for dpkg's locks should another apt
    # take them after the look; apt-get update does not wait for the lists'
    # lock, so a failure while another apt holds a lock is tried again.
    as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get -o DPkg::Lock::Timeout="$apt_lock_timeout" "$@" && return 0
    [ -n "$(apt_lock_holder)" ] && [ "$tries" -lt 3 ] || return 1
  done
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
  apt_get update -qq || return 1
  apt_get install -y -qq "${missing[@]}"
}

install_japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  printf '\n==> Generating the ja_JP.UTF-8 locale\n'
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}
