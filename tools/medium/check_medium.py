#!/usr/bin/env python3
"""Checks make_demo_payload.py and make_medium.py end to end, expanding with Debian's msexpand.

usage: check_medium.py DEMO_EXE WORK_DIR

WORK_DIR is emptied first; it keeps payload/ and medium_mixed/ for the check under Wine.
"""

import os
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
from medium_files import (ALL_FILES, PROGRAM_FILES, PROGRAM_PART_SIZES, SZDD_MAGIC,
                          TEMPLATE_FILES, TEMPLATE_TOTAL)

HERE = os.path.dirname(os.path.abspath(__file__))
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
    return condition


def run(script, *args):
    return subprocess.run([sys.executable, os.path.join(HERE, script), *args],
                          capture_output=True, text=True)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def expand(path):
    with open(path, "rb") as packed:
        return subprocess.run(["msexpand"], stdin=packed, capture_output=True, check=True).stdout


def check_medium(medium, payload, plain, expand_all=True):
    """The medium holds exactly the 28 plain names; each plain one is a copy, the rest SZDD."""
    check(sorted(os.listdir(medium)) == sorted(ALL_FILES),
          f"{medium}: holds {sorted(os.listdir(medium))}")
    for name in ALL_FILES:
        path = os.path.join(medium, name)
        if not check(os.path.isfile(path), f"{name}: missing from {medium}"):
            continue
        original, stored = read(os.path.join(payload, name)), read(path)
        if name in plain:
            check(stored == original, f"{name}: plain copy differs from the payload")
            continue
        if not check(stored[:8] == SZDD_MAGIC and stored[8:9] == b"A", f"{name}: not SZDD"):
            continue
        # The expanded name of a NAME_ copy comes from this byte.
        check(stored[9] == ord(name[-1]), f"{name}: header names last character {stored[9]:#x}")
        check(int.from_bytes(stored[10:14], "little") == len(original),
              f"{name}: header length differs from the payload")
        if expand_all:
            check(expand(path) == original, f"{name}: does not expand to the payload bytes")


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    demo_exe, work = argv
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    payload = os.path.join(work, "payload")
    medium = os.path.join(work, "medium")
    mixed = os.path.join(work, "medium_mixed")

    # The payload: same bytes every run, the sizes the installer reserves, nothing degenerate.
    again = os.path.join(work, "payload_again")
    for target in (payload, again):
        result = run("make_demo_payload.py", demo_exe, target)
        if not check(result.returncode == 0, f"payload: {result.stderr}"):
            return report()
    check(sorted(os.listdir(payload)) == sorted(ALL_FILES), "payload: wrong file names")
    for name in ALL_FILES:
        data = read(os.path.join(payload, name))
        check(data == read(os.path.join(again, name)), f"{name}: differs between two runs")
        check(data.strip(b"\0") != b"", f"{name}: empty or all zero")
    for name, size in PROGRAM_PART_SIZES.items():
        check(os.path.getsize(os.path.join(payload, name)) == size, f"{name}: not {size} bytes")
    check(set(PROGRAM_PART_SIZES) <= set(PROGRAM_FILES), "part sizes name a non-program file")
    template_total = sum(os.path.getsize(os.path.join(payload, n)) for n in TEMPLATE_FILES)
    check(template_total == TEMPLATE_TOTAL, f"templates total {template_total} bytes")
    check(read(os.path.join(payload, "VR2000.EXE")).startswith(read(demo_exe)),
          "VR2000.EXE does not start with the demo program")

    # Default: everything compressed, and well compressed as real files are.
    result = run("make_medium.py", payload, medium)
    if check(result.returncode == 0, f"make_medium: {result.stderr}"):
        check_medium(medium, payload, plain=set())
        packed = sum(os.path.getsize(os.path.join(medium, n)) for n in ALL_FILES)
        unpacked = sum(os.path.getsize(os.path.join(payload, n)) for n in ALL_FILES)
        check(packed < unpacked * 0.85, f"medium {packed} bytes of {unpacked}: hardly compressed")

    # Mixed media: by option, and by list file rebuilt over an existing medium.
    result = run("make_medium.py", "--plain", "VPREVIEW.EXE,H014.VT2", payload, mixed)
    if check(result.returncode == 0, f"make_medium --plain: {result.stderr}"):
        check_medium(mixed, payload, plain={"VPREVIEW.EXE", "H014.VT2"})
    listing = os.path.join(work, "plain.txt")
    with open(listing, "w") as f:
        f.write("# help files stay readable\nvr2000.hlp\n  VR2000.CNT  # contents\n\nX0050.VT2\n")
    result = run("make_medium.py", "--plain-list", listing, "--plain", "UNINST.EXE", payload,
                 medium)
    if check(result.returncode == 0, f"make_medium --plain-list: {result.stderr}"):
        # Same compressor as above: whether each file was kept plain is what this run shows.
        check_medium(medium, payload, plain={"VR2000.HLP", "VR2000.CNT", "X0050.VT2", "UNINST.EXE"},
                     expand_all=False)

    # Bad input: a clear message, a non-zero exit and no medium written.
    incomplete = os.path.join(work, "incomplete")
    shutil.copytree(payload, incomplete)
    os.remove(os.path.join(incomplete, "X0050.VT2"))
    nowhere = os.path.join(work, "not_written")
    cases = [
        (["make_medium.py", incomplete, nowhere], 1,
         "missing payload file: " + os.path.join(incomplete, "X0050.VT2")),
        (["make_medium.py", os.path.join(work, "no_such_folder"), nowhere], 1,
         "payload folder not found"),
        (["make_medium.py", "--compress-all", payload, nowhere], 2, "unrecognized arguments"),
        (["make_medium.py", "--plain", "VR2000.EX_", payload, nowhere], 2,
         "not an installation file: VR2000.EX_"),
        (["make_medium.py", payload], 2, "required"),
        (["make_demo_payload.py", os.path.join(work, "no_such.exe"), nowhere], 1, "no_such.exe"),
    ]
    for args, status, message in cases:
        result = run(*args)
        check(result.returncode == status and message in result.stderr,
              f"{args}: exit {result.returncode}, stderr {result.stderr!r}")
    check(not os.path.exists(nowhere), "a failed run wrote a medium")

    shutil.rmtree(again)
    shutil.rmtree(incomplete)
    return report()


def report():
    for text in failures:
        print("FAILED:", text)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
