# Shared by the scripts in this folder. Sourced, not run.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# missing_packages LIST...: the packages of scripts/packages-LIST.txt not installed yet.
missing_packages() {
    local list p
    for list in "$@"; do
        for p in $(grep -v -E '^\s*(#|$)' "$ROOT/scripts/packages-$list.txt"); do
            dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
                echo "$p"
        done
    done
}

# ensure_packages LIST...: installs what missing_packages names (apt-get -s with
# ORVANE_APT_DRY_RUN=1, to see what would be installed).
ensure_packages() {
    local missing sudo="" dry=()
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    [ "${ORVANE_APT_DRY_RUN:-0}" = 1 ] && dry=(-s)
    step "Installing ${#missing[@]} Debian packages: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install "${dry[@]}" -y -q \
        --no-install-recommends "${missing[@]}"
}

# One line a step, with the time since the script started.
step() {
    printf '== [%3ds] %s\n' "$SECONDS" "$*"
}

# configure_and_build PRESET [TARGET...]: ninja shows its own progress, [done/total elapsed].
configure_and_build() {
    local preset=$1
    shift
    cd "$ROOT"
    if [ ! -f "build/$preset/build.ninja" ]; then
        step "Configuring build/$preset"
        cmake --preset "$preset" --log-level=WARNING -Wno-dev >/dev/null
    fi
    step "Building build/$preset${*:+ ($*)}: on 2 cores the first build takes several minutes"
    NINJA_STATUS="[%f/%t %es] " cmake --build --preset "$preset" ${*:+--target "$@"}
}
