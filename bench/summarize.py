#!/usr/bin/env python3
"""Turns bench/run.sh's raw figures (one "name<TAB>value" a line) into the Markdown report.

    summarize.py RAW.tsv ROUNDS IDLE_ROUNDS
"""
import statistics
import sys
from collections import defaultdict


def load(path):
    values = defaultdict(list)
    with open(path) as f:
        for line in f:
            name, value = line.rstrip("\n").split("\t")
            values[name].append(float(value))
    return values


def main():
    values = load(sys.argv[1])
    rounds, idle_rounds = sys.argv[2], sys.argv[3]

    def med(name):
        return statistics.median(values[name])

    def spread(name):
        v = values[name]
        return f"{min(v):.1f}–{max(v):.1f}"

    def verdict(ok):
        return "met" if ok else "**missed**"

    out = []
    floor = med("cp_ms")
    out.append(f"Full installation of the demo medium (28 files, 4.3 MB expanded), median of "
               f"{rounds} runs, ms:\n")
    out.append("| what | median ms | range | × cp |")
    out.append("|---|---:|---:|---:|")
    rows = [
        ("cp of the expanded files (floor)", "cp_ms"),
        ("LZOpenFileA/LZCopy loop, process start to exit", "lz_ms"),
        ("LZOpenFileA/LZCopy loop, copying only", "lz_copy_ms"),
        ("INSTALL.EXE, process start to final page", "install_ms"),
        ("INSTALL.EXE, Install click to final page", "install_run_ms"),
        ("… of it: files, file types and settings", "install_files_ms"),
        ("… of it: program group over DDE and final page", "install_group_ms"),
        ("NSIS installer, /S, start to exit", "nsis_ms"),
        ("MSI package, msiexec /i /qn, start to exit", "msi_ms"),
    ]
    for label, name in rows:
        out.append(f"| {label} | {med(name):.1f} | {spread(name)} | {med(name) / floor:.0f} |")

    install, run, lz = med("install_ms"), med("install_run_ms"), med("lz_ms")
    nsis, msi = med("nsis_ms"), med("msi_ms")
    out.append("")
    out.append(f"- INSTALL.EXE start to final page / LZ loop: {install / lz:.2f}× "
               f"(target ≤ 1.5×: {verdict(install <= 1.5 * lz)}); Install click to final page / "
               f"LZ loop: {run / lz:.2f}× ({verdict(run <= 1.5 * lz)})")
    out.append(f"- INSTALL.EXE against NSIS: {install / nsis:.2f}× start to final page, "
               f"{run / nsis:.2f}× from the click; against MSI: {install / msi:.2f}× and "
               f"{run / msi:.2f}× (target: faster than both: "
               f"{verdict(install < nsis and install < msi)} start to final page, "
               f"{verdict(run < nsis and run < msi)} from the click)")

    out.append("")
    out.append(f"Start-up, median of {rounds} runs:\n")
    out.append("| what | median ms | range |")
    out.append("|---|---:|---:|")
    for label, name in [("INSTALL.EXE: start to window shown and idle", "startup_install_ms"),
                        ("NSIS installer: start to its first page shown and idle",
                         "startup_nsis_ms")]:
        out.append(f"| {label} | {med(name):.1f} | {spread(name)} |")

    out.append("")
    out.append(f"Idle, window open, median of {idle_rounds} runs of 10 s, % of one core:\n")
    out.append("| where | INSTALL.EXE | its wineserver | other processes of the prefix | Xvfb |")
    out.append("|---|---:|---:|---:|---:|")
    out.append(f"| headless prefix (null driver) | {med('idle_install_cpu_pct'):.2f} | "
               f"{med('idle_wineserver_cpu_pct'):.2f} | {med('idle_other_cpu_pct'):.2f} | – |")
    out.append(f"| Xvfb prefix (X11 driver) | {med('x11_install_cpu_pct'):.2f} | "
               f"{med('x11_wineserver_cpu_pct'):.2f} | {med('x11_other_cpu_pct'):.2f} | "
               f"{med('x11_xvfb_cpu_pct'):.2f} |")
    headless, x11 = med("idle_install_cpu_pct"), med("x11_install_cpu_pct")
    out.append(f"- INSTALL.EXE idle: target < 1 % of a core: headless {verdict(headless < 1)}, "
               f"under Xvfb {verdict(x11 < 1)}")

    size = values["install_exe_bytes"][0]
    banner = med("banner_px_per_s")
    out.append(f"- Peak memory (VmHWM) of INSTALL.EXE's Wine process: "
               f"{med('idle_vmhwm_kb') / 1024:.1f} MiB idle headless, "
               f"{med('x11_vmhwm_kb') / 1024:.1f} MiB idle under Xvfb, "
               f"{med('installed_vmhwm_kb') / 1024:.1f} MiB after a full installation")
    out.append(f"- INSTALL.EXE: {size:.0f} bytes ({size / 1024:.0f} KiB; target < 1 MB: "
               f"{verdict(size < 1_000_000)})")
    out.append(f"- Banner: {banner:.1f} px/s, median of {len(values['banner_px_per_s'])} "
               f"intervals of 2.5 s ({spread('banner_px_per_s')}; target 20–28: "
               f"{verdict(20 <= banner <= 28)})")
    print("\n".join(out))


if __name__ == "__main__":
    main()
