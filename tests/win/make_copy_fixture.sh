#!/usr/bin/env bash
# Files for the file-copy tests, compressed here with the host's mscompress (SZDD) and renamed
# back to their plain names, as on an installation medium:
#   orig/   the files as they are to be installed
#   medium/ COMP.TXT and BINARY.DAT compressed, PLAIN.TXT as it is, TRUNC.TXT a compressed file
#           cut short, and the 28 names of the two file sets, compressed
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out/orig" "$out/medium"
cd "$out/orig"
seq -f 'Card template line %g: name, title, company, telephone.' 1 3000 >COMP.TXT
seq 1 500 >PLAIN.TXT
head -c 65536 /dev/zero | tr '\0' '\1' >BINARY.DAT
seq -f 'Truncated %g' 1 4000 >TRUNC.TXT
for name in VR2000.EXE VPREVIEW.EXE SKY32V3C.DLL VR2000.HLP VR2000.CNT UNINST.EXE \
    H002.VT2 H003.VT2 H005.VT2 H014.VT2 H015.VT2 H020.VT2 H023.VT2 H029.VT2 H033.VT2 H038.VT2 \
    H039.VT2 V001.VT2 V009.VT2 V011.VT2 V012.VT2 V013.VT2 V014.VT2 V016.VT2 V018.VT2 X003.VT2 \
    X0050.VT2 X007.VT2; do
    seq -f "$name %g" 1 200 >"$name"
done
for f in *; do
    if [[ $f == PLAIN.TXT ]]; then
        cp "$f" "../medium/$f"
    else
        mscompress "$f"
        mv "${f}_" "../medium/$f"
    fi
done
size=$(stat -c %s ../medium/TRUNC.TXT)
truncate -s $((size / 2)) ../medium/TRUNC.TXT
