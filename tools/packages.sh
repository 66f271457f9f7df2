# Installs the given Debian packages where they are missing; runs
# apt-get update once, and only when something has to be installed.
install_missing() {
  local need=()
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
  done
  if [ ${#need[@]} -gt 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
  fi
}
