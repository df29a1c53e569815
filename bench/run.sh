#!/usr/bin/env bash
# Benchmarks of INSTALL.EXE under Wine, run by hand (not part of the tests):
#   bench/run.sh [ROUNDS]      (ROUNDS of each timing, default 7; the idle runs are 5)
# Builds its programs in build/bench, makes an NSIS installer and an MSI package of the same
# payload, and measures in prefixes of its own (build/bench/wineprefix-bench, headless, and
# build/bench/wineprefix-bench-x11 under Xvfb), after one warm-up round that is not counted:
#   - a full installation of the demo medium against cp, an LZOpenFileA/LZCopy loop, NSIS and MSI;
#   - start-up to the window shown and idle, against the NSIS installer's first page;
#   - idle processor time, peak memory, the size of INSTALL.EXE and the banner's speed.
# Raw figures go to build/bench/bench-work/raw.tsv, the table to build/bench/bench-results.md.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
rounds=${1:-7}
idle_rounds=${BENCH_IDLE_ROUNDS:-5}
idle_seconds=10

# The comparison installers' builders, installed here so that the project's own set-up stays small.
need=()
for p in nsis wixl; do
    [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)" == ii* ]] || need+=("$p")
done
if [[ ${#need[@]} -gt 0 ]]; then
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO=sudo
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
fi
scripts/setup.sh

build=$root/build/bench
[[ -f $build/CMakeCache.txt ]] ||
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_programs >/dev/null

work=$build/bench-work
rm -rf "$work"
mkdir -p "$work"
raw=$work/raw.tsv
: >"$raw"
payload=$build/medium_payload
medium=$build/medium
# wixl takes sources relative to the package description.
cp bench/vorelle.wxs "$work/"
ln -s "$payload" "$work/payload"
(cd "$work" && wixl -D Payload=payload -o vorelle.msi vorelle.wxs 2>/dev/null)
makensis -V1 -DPAYLOAD="$payload" -DOUTFILE="$work/vorelle-nsis.exe" bench/vorelle.nsi
stat -c '%s' "$build/INSTALL.EXE" | sed 's/^/install_exe_bytes\t/' >>"$raw"

source scripts/wine-env.sh
prefix=$build/wineprefix-bench
xprefix=$build/wineprefix-bench-x11
pids=()
xvfb_pid=""
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$xprefix wineserver -k 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'echo "bench: failed at line $LINENO; see $work/driver.log" >&2' ERR

vorelle_prefix "$prefix" null
# One wineserver of our own for the whole bench: every start below finds it warm.
wineserver -k 2>/dev/null || true
wineserver -p
drive_c=$prefix/drive_c
sys32=$drive_c/windows/system32
w() { winepath -w "$1" 2>/dev/null; }
driver=$build/bench/bench_driver.exe
drv() { wine "$driver" "$@" 2>>"$work/driver.log"; }
field() { sed -n "s/^$1=//p"; }
record() { printf '%s\t%s\n' "$1" "$2" >>"$raw"; }
now_ns() { date +%s%N; }

# Every installed file equal to the payload, the DLL in the system folder.
check_installed() {
    local dest=$1 n
    for n in "$payload"/*; do
        n=$(basename "$n")
        if [[ $n == SKY32V3C.DLL ]]; then
            cmp -s "$payload/$n" "$sys32/$n" || { echo "bench: $sys32/$n differs" >&2; exit 1; }
        else
            cmp -s "$payload/$n" "$dest/$n" || { echo "bench: $dest/$n differs" >&2; exit 1; }
        fi
    done
}

wine "$build/tools/progman/PROGMAN.EXE" /log="$(w "$work/progman.log")" >/dev/null 2>&1 &
pids+=($!)
sleep 2

installer_dest="$drive_c/Program Files/Vorelle"
nsis_dest=$drive_c/bench/nsis
one_round() {
    local counted=$1 t0 t1 out
    mkdir -p "$drive_c/bench"

    rm -rf "$drive_c/bench/cp"
    mkdir -p "$drive_c/bench/cp"
    t0=$(now_ns)
    cp "$payload"/* "$drive_c/bench/cp/"
    t1=$(now_ns)
    [[ $counted == 1 ]] && record cp_ms "$(((t1 - t0) / 1000))e-3"

    rm -rf "$drive_c/bench/lz"
    out=$(drv run "$(w "$build/bench/lz_copy_loop.exe")" "$(w "$medium")" 'C:\bench\lz')
    for n in "$payload"/*; do cmp -s "$n" "$drive_c/bench/lz/$(basename "$n")"; done
    [[ $counted == 1 ]] && record lz_ms "$(field ms <<<"$out")" &&
        record lz_copy_ms "$(field copy_ms <<<"$out")"

    rm -rf "$installer_dest" "$sys32/SKY32V3C.DLL"
    out=$(drv install "$(w "$build/INSTALL.EXE")" "$(w "$medium")" "$(w "$work/progman.log")")
    check_installed "$installer_dest"
    [[ $counted == 1 ]] && record install_ms "$(field ms <<<"$out")" &&
        record install_run_ms "$(field run_ms <<<"$out")" &&
        record install_files_ms "$(field files_ms <<<"$out")" &&
        record install_group_ms "$(field group_ms <<<"$out")"

    rm -rf "$nsis_dest" "$sys32/SKY32V3C.DLL"
    out=$(drv run "$(w "$work/vorelle-nsis.exe")" /S '/D=C:\bench\nsis')
    check_installed "$nsis_dest"
    [[ $counted == 1 ]] && record nsis_ms "$(field ms <<<"$out")"

    rm -f "$sys32/SKY32V3C.DLL"
    out=$(drv run 'C:\windows\system32\msiexec.exe' /i "$(w "$work/vorelle.msi")" /qn)
    check_installed "$drive_c/Program Files/Vorelle MSI"
    [[ $counted == 1 ]] && record msi_ms "$(field ms <<<"$out")"
    drv run 'C:\windows\system32\msiexec.exe' /x "$(w "$work/vorelle.msi")" /qn >/dev/null

    out=$(drv startup TInstallForm "$(w "$build/INSTALL.EXE")" "$(w "$medium")")
    [[ $counted == 1 ]] && record startup_install_ms "$(field ms <<<"$out")"
    out=$(drv startup '#32770' "$(w "$work/vorelle-nsis.exe")")
    [[ $counted == 1 ]] && record startup_nsis_ms "$(field ms <<<"$out")"
    return 0
}

echo "bench: warm-up round" >&2
one_round 0
for r in $(seq "$rounds"); do
    echo "bench: timing round $r of $rounds" >&2
    one_round 1
done

# Processor ticks (user + system) of a process; the name field may hold blanks.
ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
    sed 's/.*) //' <<<"$stat" | awk '{print $12 + $13}'
}
# The wineserver of a prefix: its working folder is named after the prefix's device and inode.
wineserver_of() {
    local dir p
    dir=$(printf 'server-%x-%x' $(stat -L -c '%d %i' "$1"))
    for p in /proc/[0-9]*; do
        [[ "$(readlink "$p/cwd" 2>/dev/null)" == */"$dir" ]] && { basename "$p"; return; }
    done
}
# The other processes of a prefix (services, explorer and the like).
others_of() {
    local p
    for p in /proc/[0-9]*; do
        p=${p#/proc/}
        [[ $p == "$2" || $p == "$3" ]] && continue
        tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$1" && echo "$p"
    done
    return 0
}
sum_ticks() {
    local t=0 p
    for p in "$@"; do t=$((t + $(ticks "$p"))); done
    echo $t
}
hz=$(getconf CLK_TCK)
percent() { awk -v d="$1" -v hz="$hz" -v s="$2" 'BEGIN { printf "%.2f", 100 * d / hz / s }'; }
vm_hwm() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# Idle, headless: the window open for idle_seconds, then a full installation in the same process
# for the peak memory of a complete run.
idle_run() { # PREFIX LABEL [XVFB_PID] -> the idle figures of one run; leaves $install_pid running
    local pfx=$1 label=$2 server others a_i a_s a_o a_x b_i b_s b_o b_x t0 t1 secs
    wine "$build/INSTALL.EXE" "$(w "$medium")" >/dev/null 2>&1 &
    install_pid=$!
    pids+=($install_pid)
    sleep 3 # the window shown and its first free-space refresh done
    server=$(wineserver_of "$pfx")
    mapfile -t others < <(others_of "$pfx" "$install_pid" "$server")
    t0=$(now_ns)
    a_i=$(ticks "$install_pid") a_s=$(ticks "$server") a_o=$(sum_ticks "${others[@]}")
    a_x=$([[ -n ${3:-} ]] && ticks "$3" || echo 0)
    if [[ -n ${4:-} ]]; then "${@:4}"; else sleep "$idle_seconds"; fi
    b_i=$(ticks "$install_pid") b_s=$(ticks "$server") b_o=$(sum_ticks "${others[@]}")
    b_x=$([[ -n ${3:-} ]] && ticks "$3" || echo 0)
    t1=$(now_ns)
    secs=$(awk -v d=$((t1 - t0)) 'BEGIN { print d / 1e9 }')
    record "${label}_install_cpu_pct" "$(percent $((b_i - a_i)) "$secs")"
    record "${label}_wineserver_cpu_pct" "$(percent $((b_s - a_s)) "$secs")"
    record "${label}_other_cpu_pct" "$(percent $((b_o - a_o)) "$secs")"
    [[ -n ${3:-} ]] && record "${label}_xvfb_cpu_pct" "$(percent $((b_x - a_x)) "$secs")"
    record "${label}_vmhwm_kb" "$(vm_hwm "$install_pid")"
}

echo "bench: idle, headless" >&2
for r in $(seq "$idle_rounds"); do
    rm -rf "$installer_dest"
    idle_run "$prefix" idle
    drv finish >/dev/null
    record installed_vmhwm_kb "$(vm_hwm "$install_pid")"
    drv close
    wait "$install_pid" || true
done

# Idle and banner speed under Xvfb: the banner grabbed every 2.5 s during the idle time.
kill "${pids[0]}" 2>/dev/null || true # Program Manager's stand-in is not needed any more
wineserver -k
for n in $(seq 90 160); do [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break; done
Xvfb ":$n" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
sleep 1
vorelle_prefix "$xprefix" x11
wineserver -k 2>/dev/null || true
wineserver -p
banner() {
    local id geometry X Y WIDTH HEIGHT
    id=$(xdotool search --name '^Setup Vorelle 2000$' | head -n 1)
    geometry=$(xdotool getwindowgeometry --shell "$id")
    eval "$geometry"
    python3 bench/banner_speed.py "$X" "$Y" "$WIDTH" "$HEIGHT" 5 2.5 >>"$work/banner.txt"
}
echo "bench: idle and banner, Xvfb" >&2
for r in $(seq 0 "$idle_rounds"); do
    : >"$work/banner.txt"
    idle_run "$xprefix" "x11_$r" "$xvfb_pid" banner
    kill "$install_pid"
    wait "$install_pid" 2>/dev/null || true
    # The first run warms the prefix and is not counted.
    [[ $r == 0 ]] && { sed -i '/^x11_0_/d' "$raw"; continue; }
    sed -i "s/^x11_${r}_/x11_/" "$raw"
    field banner_px_per_s <"$work/banner.txt" | while read -r v; do record banner_px_per_s "$v"; done
done

python3 bench/summarize.py "$raw" "$rounds" "$idle_rounds" | tee "$build/bench-results.md"
