# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

install_packages() {
  local missing=()
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done <"$ROOT/scripts/packages.txt"
  ((${#missing[@]} == 0)) && return 0
  local sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_project() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [[ ! -f "$BUILD/build.ninja" ]]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  # Automoc keeps a list of the headers it scanned; a header that arrived with a pull would be
  # missed and its class left without meta-object code, so every build rescans.
  find "$BUILD" -path '*_autogen/timestamp' -delete 2>/dev/null || true
  cmake --build "$BUILD" --parallel "$jobs"
}
