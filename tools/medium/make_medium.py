#!/usr/bin/env python3
"""Builds an installation medium folder from a payload folder.

usage: make_medium.py [--plain NAMES] [--plain-list FILE] PAYLOAD_DIR MEDIUM_DIR

Every one of the 28 installation files must be in PAYLOAD_DIR under its plain name. Each is
written to MEDIUM_DIR under the same plain name, either LZ-compressed (SZDD, made by mscompress)
or as an exact copy. By default all files are compressed.

  --plain NAMES       keep these files plain: comma-separated names, option may repeat
                      (e.g. --plain VPREVIEW.EXE,H014.VT2 gives a mixed medium)
  --plain-list FILE   keep the files named in FILE plain: one name a line, '#' starts a comment

Names are matched without regard to case. MEDIUM_DIR is created if missing; files of the same
names in it are replaced, anything else in it is left alone. Exit status: 0 done, 1 a payload
file is missing or compression failed, 2 bad command line.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no cache files in the source tree
from medium_files import ALL_FILES, SZDD_MAGIC


class MediumError(Exception):
    pass


def parse_args(argv):
    usage, description = __doc__.split("\n\n", 1)[1].split("\n\n", 1)
    parser = argparse.ArgumentParser(
        prog="make_medium.py",
        usage=usage.replace("usage: make_medium.py", "%(prog)s"),
        description=description,
        allow_abbrev=False,
        formatter_class=argparse.RawDescriptionHelpFormatter,
    )
    parser.add_argument("--plain", action="append", default=[], help=argparse.SUPPRESS)
    parser.add_argument("--plain-list", help=argparse.SUPPRESS)
    parser.add_argument("payload_dir", help=argparse.SUPPRESS)
    parser.add_argument("medium_dir", help=argparse.SUPPRESS)
    args = parser.parse_args(argv)

    requested = [name for item in args.plain for name in item.split(",") if name.strip()]
    if args.plain_list:
        try:
            with open(args.plain_list, encoding="ascii") as listing:
                for line in listing:
                    name = line.split("#", 1)[0].strip()
                    if name:
                        requested.append(name)
        except (OSError, UnicodeDecodeError) as error:
            parser.error(f"cannot read plain list {args.plain_list}: {error}")

    by_upper = {name.upper(): name for name in ALL_FILES}
    unknown = [name for name in requested if name.strip().upper() not in by_upper]
    if unknown:
        parser.error("not an installation file: " + ", ".join(unknown))
    args.plain_names = {by_upper[name.strip().upper()] for name in requested}
    return args


def compress(source, name, work_dir):
    """Returns the SZDD bytes of source, whose header names `name` as the expanded file."""
    staged = os.path.join(work_dir, name)
    shutil.copyfile(source, staged)
    try:
        result = subprocess.run(["mscompress", name], cwd=work_dir, capture_output=True, text=True)
    except FileNotFoundError:
        raise MediumError("mscompress not found (Debian package mscompress)")
    if result.returncode != 0:
        raise MediumError(f"mscompress failed on {name}: {result.stderr.strip()}")
    # Debian's mscompress appends '_'; the classic tool replaces the extension's last character.
    for candidate in (name + "_", name[:-1] + "_"):
        path = os.path.join(work_dir, candidate)
        if os.path.isfile(path):
            with open(path, "rb") as packed:
                data = bytearray(packed.read())
            os.remove(path)
            break
    else:
        raise MediumError(f"mscompress wrote no output for {name}")
    os.remove(staged)

    if data[:8] != SZDD_MAGIC or data[8:9] != b"A":
        raise MediumError(f"mscompress output for {name} is not SZDD")
    if int.from_bytes(data[10:14], "little") != os.path.getsize(source):
        raise MediumError(f"mscompress output for {name} records the wrong length")
    # Byte 9 holds the character that a NAME_ file name stands in for. Debian's mscompress
    # leaves it 0, which would expand a copy named like VR2000.EX_ to "VR2000.EX".
    data[9] = ord(name[-1])
    return bytes(data)


def build(payload_dir, medium_dir, plain_names):
    if not os.path.isdir(payload_dir):
        raise MediumError(f"payload folder not found: {payload_dir}")
    missing = [n for n in ALL_FILES if not os.path.isfile(os.path.join(payload_dir, n))]
    if missing:
        raise MediumError(
            "\n".join(f"missing payload file: {os.path.join(payload_dir, n)}" for n in missing))

    os.makedirs(medium_dir, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="medium-") as work_dir:
        for name in ALL_FILES:
            source = os.path.join(payload_dir, name)
            target = os.path.join(medium_dir, name)
            partial = target + ".part"
            try:
                if name in plain_names:
                    shutil.copyfile(source, partial)
                else:
                    with open(partial, "wb") as out:
                        out.write(compress(source, name, work_dir))
                os.replace(partial, target)
            finally:
                if os.path.exists(partial):
                    os.remove(partial)


def main(argv):
    args = parse_args(argv)
    try:
        build(args.payload_dir, args.medium_dir, args.plain_names)
    except (MediumError, OSError) as error:
        for line in str(error).splitlines():
            print(f"make_medium.py: error: {line}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
