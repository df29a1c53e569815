#!/usr/bin/env bash
# The main job: builds INSTALL.EXE, the Program Manager stand-in and the demo installation medium,
# then starts the stand-in and the installer on the medium under Wine. With $DISPLAY the window
# opens there and the script waits for it to close; without one it runs under Xvfb, writes a
# screenshot to build/screenshots/install-window.png and ends. With --install (headless only) it
# then presses Enter twice, as a user would (Enter in the destination moves to Install, Enter on
# Install starts the run), and writes the final page to build/screenshots/final-page.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target install_exe progman_server demo_medium

install=0
[[ ${1:-} == --install ]] && install=1

build=$root/build/windows
medium=$build/medium
source scripts/wine-env.sh
vorelle_prefix "$build/wineprefix-desktop" x11

xvfb_pid=""
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
    for n in $(seq 90 120); do [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break; done
    Xvfb ":$n" -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    sleep 1
    headless=1
else
    headless=0
fi

wine "$build/tools/progman/PROGMAN.EXE" /log="$(winepath -w "$build/progman-run.log")" >/dev/null 2>&1 &
pids+=($!)
sleep 1
wine "$build/INSTALL.EXE" "$(winepath -w "$medium")" 2>/dev/null &
install_pid=$!
pids+=($install_pid)

# Grabs the installer window (found by its caption) from the virtual screen.
grab() {
    local id geometry
    id=$(xdotool search --name '^Setup Vorelle 2000$' | head -n 1)
    geometry=$(xdotool getwindowgeometry --shell "$id")
    eval "$geometry"
    xwd -root -display "$DISPLAY" -silent |
        /usr/bin/convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

if [[ $headless == 1 ]]; then
    sleep 6
    mkdir -p "$build/../screenshots"
    shot=$(cd "$build/.." && pwd)/screenshots/install-window.png
    grab "$shot"
    echo "The installer window ran under Xvfb; screenshot: $shot"
    if [[ $install == 1 ]]; then
        xdotool key Return
        sleep 1
        xdotool key Return
        sleep 10
        final=$(dirname "$shot")/final-page.png
        grab "$final"
        echo "Installed into the desktop prefix; final page: $final"
    fi
else
    echo "The installer window is open on $DISPLAY; close it to end."
    wait "$install_pid" || true
fi
