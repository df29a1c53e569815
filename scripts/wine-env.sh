# Sourced by the scripts that run our programs under Wine. Provides vorelle_prefix DIR MODE, which
# makes DIR a ready 32-bit prefix (once; later calls only check) and exports WINEPREFIX for it.
# MODE is "null" (no display needed) or "x11" (windows on $DISPLAY).

export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

vorelle_prefix() {
    local dir=$1 mode=$2
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX=$dir
    (
        # Parallel callers wait here while the first one builds the prefix.
        flock 9
        if [[ ! -f "$dir/.vorelle-mode" ]]; then
            rm -rf "$dir"
            wineboot -i >/dev/null 2>&1
            wineserver -w
            touch "$dir/.vorelle-mode"
        fi
        if [[ "$(cat "$dir/.vorelle-mode")" != "$mode" ]]; then
            if [[ $mode == null ]]; then
                wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
            else
                wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
            fi
            # The graphics driver is chosen when the wineserver starts.
            wineserver -k 2>/dev/null || true
            wineserver -w 2>/dev/null || true
            echo "$mode" >"$dir/.vorelle-mode"
        fi
    ) 9>"$dir.lock"
}
