#!/usr/bin/env bash
# The ground of the in-process fault tests, made and taken down as root on the host:
#   faults_fixture.sh setup   OUT PREFIX   a medium, a small drive R: that fills up, a locked file
#   faults_fixture.sh cleanup OUT PREFIX   unlock, unmount and unlink again
# OUT/medium  the 28 installation files, compressed with mscompress; VPREVIEW.EXE expands to more
#             than the small drive holds, of either kind. OUT/orig holds them as installed.
# OUT/drive   a 256 KB tmpfs (or, where tmpfs cannot be mounted, a loop-mounted 1 MB ext4
#             image), the target of $PREFIX/dosdevices/r:; OUT/drive.skip says why when neither
#             works.
# C:\faults locked\VR2000.HLP in the prefix: an existing file made immutable with chattr +i;
#             OUT/locked.skip says why when the file system refuses that.
set -euo pipefail
action=$1 out=$2 prefix=${VORELLE_WINEPREFIX:-$3}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
locked="$prefix/drive_c/faults locked"

take_down() {
    [[ -e "$locked/VR2000.HLP" ]] && chattr -i "$locked/VR2000.HLP" 2>/dev/null || true
    rm -rf "$locked"
    rm -f "$prefix/dosdevices/r:"
    if mountpoint -q "$out/drive" 2>/dev/null; then
        umount "$out/drive"
    fi
}

if [[ $action == cleanup ]]; then
    take_down
    rm -rf "$out"
    exit 0
fi

take_down
rm -rf "$out"
mkdir -p "$out/orig" "$out/medium" "$out/drive"
(
    cd "$out/orig"
    for name in VR2000.EXE VPREVIEW.EXE SKY32V3C.DLL VR2000.HLP VR2000.CNT UNINST.EXE \
        H002.VT2 H003.VT2 H005.VT2 H014.VT2 H015.VT2 H020.VT2 H023.VT2 H029.VT2 H033.VT2 \
        H038.VT2 H039.VT2 V001.VT2 V009.VT2 V011.VT2 V012.VT2 V013.VT2 V014.VT2 V016.VT2 \
        V018.VT2 X003.VT2 X0050.VT2 X007.VT2; do
        seq -f "$name line %g" 1 300 >"$name"
    done
    seq -f 'VPREVIEW.EXE line %g, long enough to fill the small drive' 1 40000 >VPREVIEW.EXE
    for f in *; do
        mscompress "$f"
        mv "${f}_" "../medium/$f"
    done
)

# The small drive: tmpfs first, a loop-mounted image where tmpfs is not allowed.
if ! mount -t tmpfs -o size=256k tmpfs "$out/drive" 2>"$out/mount.err"; then
    truncate -s 1M "$out/drive.img"
    if ! { mkfs.ext4 -q -F "$out/drive.img" && mount -o loop "$out/drive.img" "$out/drive"; } \
        2>>"$out/mount.err"; then
        echo "neither a tmpfs nor a loop-mounted image can be mounted here: $(tr '\n' ' ' \
            <"$out/mount.err")" >"$out/drive.skip"
    fi
fi

# The prefix must exist before a drive can be linked into it.
source "$here/../../scripts/wine-env.sh"
vorelle_prefix "$prefix" null
if [[ ! -e "$out/drive.skip" ]]; then
    ln -sfn "$out/drive" "$prefix/dosdevices/r:"
fi

mkdir -p "$locked"
printf 'kept' >"$locked/VR2000.HLP"
if ! chattr +i "$locked/VR2000.HLP" 2>"$out/chattr.err"; then
    echo "chattr +i is refused here: $(tr '\n' ' ' <"$out/chattr.err")" >"$out/locked.skip"
fi
