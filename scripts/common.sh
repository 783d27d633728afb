# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# The package lists named as arguments (files in scripts/), one package a line.
missing_packages() {
  local pkg list
  for list in "$@"; do
    while read -r pkg; do
      [[ -z "$pkg" || "$pkg" == \#* ]] && continue
      if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        echo "$pkg"
      fi
    done <"$ROOT/scripts/$list"
  done
}

# Without the packages nothing can be built, so the operator is told who can install them.
cannot_install() {
  echo >&2
  echo "Some Debian packages are missing and could not be installed: run $0 once as root, or" \
    "have an administrator install them:" >&2
  echo "  apt-get install --no-install-recommends $*" >&2
  exit 1
}

# Installs what is missing of the named package lists. apt's own chatter (progress, debconf's
# notes) goes to a log that is shown only when the install fails.
install_packages() {
  local missing log
  mapfile -t missing < <(missing_packages "$@")
  ((${#missing[@]} == 0)) && return 0
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || cannot_install "${missing[@]}"
    sudo=(sudo)
  fi
  echo "Installing ${#missing[@]} Debian packages; apt works quietly and this takes a few minutes:"
  echo "  ${missing[*]}"
  log=$(mktemp)
  # sudo drops the caller's environment, so the front end is set behind it.
  if ! { "${sudo[@]}" apt-get update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    tail -n 20 "$log" >&2
    rm -f "$log"
    cannot_install "${missing[@]}"
  fi
  rm -f "$log"
}

# "program" builds the program alone; "all" adds the tests and the benchmarks.
build_project() {
  local what=$1 jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [[ ! -f "$BUILD/build.ninja" ]]; then
    echo "Configuring $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  elif [[ "$what" == all ]] && grep -q '^VELMORA_TESTS:BOOL=OFF' "$BUILD/CMakeCache.txt"; then
    # A build folder configured by hand for the program alone gets its tests back.
    cmake -S "$ROOT" -B "$BUILD" -DVELMORA_TESTS=ON >/dev/null
  fi
  # Automoc keeps a list of the headers it scanned; a header that arrived with a pull would be
  # missed and its class left without meta-object code, so every build rescans.
  find "$BUILD" -path '*_autogen/timestamp' -delete 2>/dev/null || true
  if [[ "$what" == program ]]; then
    cmake --build "$BUILD" --parallel "$jobs" --target Velmora
  else
    cmake --build "$BUILD" --parallel "$jobs"
  fi
}
