"""The file names of the installation medium, in the order the installer copies them."""

PROGRAM_FILES = [
    "VR2000.EXE",
    "VPREVIEW.EXE",
    "SKY32V3C.DLL",
    "VR2000.HLP",
    "VR2000.CNT",
    "UNINST.EXE",
]

TEMPLATE_FILES = [
    "H002.VT2", "H003.VT2", "H005.VT2", "H014.VT2", "H015.VT2", "H020.VT2", "H023.VT2",
    "H029.VT2", "H033.VT2", "H038.VT2", "H039.VT2", "V001.VT2", "V009.VT2", "V011.VT2",
    "V012.VT2", "V013.VT2", "V014.VT2", "V016.VT2", "V018.VT2", "X003.VT2", "X0050.VT2",
    "X007.VT2",
]

ALL_FILES = PROGRAM_FILES + TEMPLATE_FILES

# The byte counts the installer reserves for the two sets. The three large program files carry
# them in the demo payload; the installer counts nothing else of the program set.
PROGRAM_PART_SIZES = {
    "VR2000.EXE": 299_008,
    "SKY32V3C.DLL": 1_538_048,
    "VR2000.HLP": 1_705_163,
}
TEMPLATE_TOTAL = 806_912

SZDD_MAGIC = b"SZDD\x88\xf0\x27\x33"
