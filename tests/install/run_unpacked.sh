#!/usr/bin/env bash
# Starts the program unpacked from the Debian package, on an X server of its own, and proves
# that it reads its tips and help files from <root>/usr/share/orvane-editor: with the tips
# flag on, the tip window shows after the splash; then F1 opens the help contents and Enter
# the first topic. strace records which files the program opened, and with what result.
# Usage: run_unpacked.sh UNPACKED_ROOT SCREENSHOT_DIR
set -euo pipefail
root=$(realpath "$1")
shots=$2
program=$root/usr/bin/orvane-editor
data=$root/usr/share/orvane-editor
skip=77

for tool in Xvfb xdotool strace import; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done
[ -x "$program" ] || { echo "no program at $program: run the install_trees test"; exit 1; }

work=$(mktemp -d)
xvfb_pid="" strace_pid=""
cleanup() {
    # The traced program's id is the first field of the trace's first line.
    local program_pid
    program_pid=$(awk 'NR == 1 { print $1 }' "$work/trace" 2>/dev/null || true)
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -n "$strace_pid" ]; then wait "$strace_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- files the program opened under $root:"
    grep -F "$root" "$work/trace" | grep -v -F '/usr/bin/' | head -20 || true
    exit 1
}

# An X server on a display number nobody uses; it writes the number once it listens.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=:$(head -1 "$work/display")
export QT_QPA_PLATFORM=xcb

# A home of its own, with the tips flag on so that the tip window opens after the splash.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/home/run
mkdir -p "$XDG_CONFIG_HOME/Tessaly" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/Tessaly/Orvane Editor.conf" <<'CONF'
[SOFTWARE]
Tessaly\Orvane%20Editor\Version=1.0.0
Tessaly\Orvane%20Editor\Option\Default%20Link=HTTP
Tessaly\Orvane%20Editor\Option\Show%20Tips%20at%20Startup=1
CONF
# libxkbcommon-x11 hands strndup an unterminated buffer while Qt connects to the server.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0

cd "$work"
strace -f -qq -e trace=openat -o "$work/trace" "$program" &
strace_pid=$!

# The id of the visible window with exactly this title, once it shows (at most 20 s). A
# search fails outright when a window goes away under it, so it is asked again.
window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
# Waits until no visible window has this title (at most 20 s).
gone() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
# The file was opened for reading and the call returned a descriptor.
opened() {
    grep -F "\"$1\"" "$work/trace" | grep -q -E '= [0-9]+$'
}
type_into() {
    xdotool windowfocus --sync "$1"
    shift
    xdotool key --clearmodifiers "$@"
}

tip=$(window 'Tip of the Day') || true
[ -n "$tip" ] || fail "no tip window"
mkdir -p "$shots"
import -window root "$shots/unpacked-tip.png"
opened "$data/tod.dat" || fail "tip window shown without reading $data/tod.dat"

type_into "$tip" Escape
# The editor takes keys only once the modal tip window is gone.
gone 'Tip of the Day' || fail "Escape did not close the tip window"
editor=$(window 'Orvane Editor') || true
[ -n "$editor" ] || fail "no editor window"
type_into "$editor" F1
contents=$(window 'Orvane Editor Help Content') || true
[ -n "$contents" ] || fail "F1 opened no help contents"
opened "$data/help/content.dat" || fail "help contents shown without reading $data/help/content.dat"

type_into "$contents" Down Up Return
topic=$(window 'Orvane Editor Help') || true
[ -n "$topic" ] || fail "Enter opened no help topic"
# The topic window shows before its file is read; give the read a moment.
for _ in $(seq 50); do
    opened "$data/help/help_00.dat" && break
    sleep 0.1
done
import -window "$topic" "$shots/unpacked-help.png"
opened "$data/help/help_00.dat" || fail "the first topic did not read $data/help/help_00.dat"
echo "PASS: tips and help read from $data"
