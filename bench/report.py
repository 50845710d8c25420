#!/usr/bin/env python3
"""Runs the benchmark against the floor under Wine and prints the table (./dev.sh bench).

Needs DISPLAY and WINEPREFIX set up as ./dev.sh does. Exits 1 when a ratio misses its target.
Usage: report.py BUILD_DIR [--quick]
"""
import math
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run.sh")
# The processor of a PE file's header, as the mingw-w64 tools name it: dev.sh builds the 64-bit
# twin on machines that run no 32-bit x86 code, and the tools must match what was built.
PE_MACHINES = {0x014C: "i686", 0x8664: "x86_64"}

# DLLs that come with Windows itself.
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll",
                "advapi32.dll", "shell32.dll", "ole32.dll", "imm32.dll", "ntdll.dll",
                "uxtheme.dll", "version.dll"}

READOUT = r"pos_x=497\npos_y=114\nwidth=244"
START_SETTINGS = 20  # settings in the file that Pelmora lists at start-up


def wine(*args):
    result = subprocess.run([WINE_RUN, *args], capture_output=True, text=True)
    if result.returncode != 0:
        sys.stderr.write(result.stdout + result.stderr)
        sys.exit(f"bench: {os.path.basename(args[0])} failed ({result.returncode})")
    return result.stdout


def samples(lines):
    """{(kind, who, n): [ms, ...]} from 'KIND WHO [N] MS' lines."""
    out = {}
    for line in lines.splitlines():
        parts = line.split()
        if len(parts) == 3:
            kind, who, ms = parts
            n = 0
        elif len(parts) == 4 and parts[0] != "startup":
            kind, who, n, ms = parts
        else:
            continue
        out.setdefault((kind, who, int(n)), []).append(float(ms))
    return out


def write_start_settings(path):
    with open(path, "wb") as f:
        for i in range(START_SETTINGS):
            f.write(b"[layout-%02d]\r\npos_x=%d\r\npos_y=%d\r\nwidth=244\r\nheight=157\r\n"
                    % (i, 400 + i, 100 + i))


def pe_processor(exe):
    with open(exe, "rb") as f:
        header = f.read(4096)
    pe = struct.unpack_from("<I", header, 0x3C)[0]
    if header[:2] != b"MZ" or header[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"bench: {exe} is not a PE file")
    machine = struct.unpack_from("<H", header, pe + 4)[0]
    if machine not in PE_MACHINES:
        sys.exit(f"bench: {exe} is built for machine 0x{machine:04x}, which the bench does not know")
    return PE_MACHINES[machine]


def mingw_tool(processor, name):
    return f"{processor}-w64-mingw32-{name}"


def imports(exe, processor):
    text = subprocess.run([mingw_tool(processor, "objdump"), "-p", exe], capture_output=True,
                          text=True, check=True).stdout
    return sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", text)})


def stripped_size(exe, processor, scratch):
    out = os.path.join(scratch, "stripped-" + os.path.basename(exe))
    subprocess.run([mingw_tool(processor, "strip"), "-o", out, exe], check=True)
    return os.path.getsize(out)


def main():
    build = os.path.abspath(sys.argv[1])
    quick = "--quick" in sys.argv
    scale = 0.4 if quick else 1.0
    run_dir = os.path.join(build, "bench-run")
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(run_dir)
    pelmora = os.path.join(run_dir, "pelmora.exe")
    floor = os.path.join(run_dir, "bench_floor.exe")
    floor_bare = os.path.join(run_dir, "bench_floor_bare.exe")
    shutil.copy(os.path.join(build, "pelmora.exe"), pelmora)
    shutil.copy(os.path.join(build, "bench_floor.exe"), floor)
    shutil.copy(os.path.join(build, "bench_floor_bare.exe"), floor_bare)
    write_start_settings(os.path.join(run_dir, "pelmora.ini"))

    def win(path):
        return "Z:" + path.replace("/", "\\")

    print("bench: start-up (Pelmora and the floor program, alternating) ...", file=sys.stderr)
    startup_rounds = 9 if quick else 41
    out = wine(os.path.join(build, "bench_startup.exe"), str(startup_rounds), READOUT,
               "program", win(pelmora), "TFormMain", "TFormC",
               "floor", win(floor), "BenchFloorMain", "BenchFloorChecker",
               "bare", win(floor_bare), "BenchFloorMain", "BenchFloorChecker")
    start = {}
    peak = {}
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 4 and parts[0] == "startup":
            start.setdefault(parts[1], []).append(float(parts[2]))
            peak.setdefault(parts[1], []).append(int(parts[3]))

    print("bench: moves, list fill, Save and Recall (in-process) ...", file=sys.stderr)
    inproc = samples(wine(os.path.join(build, "bench_inproc.exe"), str(scale)))

    rows = []  # (measure, program, floor, unit, ratio, target or None for a reference, ok)

    def add(measure, prog, flo, unit, target, fmt="{:.2f}"):
        ratio = prog / flo
        rows.append((measure, fmt.format(prog), fmt.format(flo), unit, ratio, target,
                     target is None or ratio <= target))

    med = statistics.median
    add("start-up until the readout shows", med(start["program"]), med(start["floor"]), "ms",
        1.15, "{:.1f}")
    add("  reference: against two bare windows", med(start["program"]), med(start["bare"]),
        "ms", None, "{:.1f}")
    add("10,000 moves with the readout", med(inproc[("move", "program", 0)]),
        med(inproc[("move", "floor", 0)]), "ms", 1.25, "{:.0f}")
    add("  reference: moves + text set in a plain edit", med(inproc[("move", "program", 0)]),
        med(inproc[("move", "text", 0)]), "ms", None, "{:.0f}")
    per_name = {}
    for n in (100, 1000, 10000):
        p = med(inproc[("list", "program", n)])
        f = med(inproc[("list", "floor", n)])
        per_name[n] = (p / n * 1000, f / n * 1000)
        add(f"list fill, {n:,} names", p, f, "ms", 1.3)
    add("Save, 10,000 settings", med(inproc[("save", "program", 10000)]),
        med(inproc[("save", "floor", 10000)]), "ms", 1.1)
    add("  reference: + refill of a plain combo box", med(inproc[("save", "program", 10000)]),
        med(inproc[("save", "plain", 10000)]), "ms", None)
    add("  reference: Save under a new name", med(inproc[("save", "newname", 10000)]),
        med(inproc[("save", "newfloor", 10000)]), "ms", None)
    # Recall's floor is its reads plus the four steps of a plain window: the recall moves the
    # checker in four steps, and that is the work.
    for kind, state in (("recall", "saved earlier"), ("recallnew", "just rewritten")):
        add(f"Recall, 10,000 settings {state}", med(inproc[(kind, "program", 10000)]),
            med(inproc[(kind, "floor", 10000)]), "ms", 1.1)
        add("  reference: against the bare reads alone", med(inproc[(kind, "program", 10000)]),
            med(inproc[(kind, "reads", 10000)]), "ms", None)
    add("peak working set after start-up", med(peak["program"]) / 1024,
        med(peak["floor"]) / 1024, "KiB", 1.2, "{:.0f}")

    processor = pe_processor(pelmora)
    size = stripped_size(pelmora, processor, run_dir)
    dlls = imports(pelmora, processor)
    foreign = [d for d in dlls if d not in WINDOWS_DLLS]

    # Linear in N: the cost per name at 10,000 names against that at 1,000 (1.0 = linear).
    growth = per_name[10000][0] / per_name[1000][0]
    growth_floor = per_name[10000][1] / per_name[1000][1]

    width = max(len(r[0]) for r in rows)
    print()
    print(f"{'measure':<{width}}  {'Pelmora':>9}  {'floor':>9}  unit  {'ratio':>6}  {'target':>7}  verdict")
    print(f"{'-' * width}  {'-' * 9}  {'-' * 9}  ----  {'-' * 6}  -------  -------")
    for measure, prog, flo, unit, ratio, target, ok in rows:
        if target is None:
            print(f"{measure:<{width}}  {prog:>9}  {flo:>9}  {unit:<4}  {ratio:>6.2f}  "
                  f"{'':>7}  (reference)")
            continue
        print(f"{measure:<{width}}  {prog:>9}  {flo:>9}  {unit:<4}  {ratio:>6.2f}  "
              f"{'<= ' + format(target, '.2f'):>7}  {'ok' if ok else 'MISSED'}")
    print()
    print("list fill per name (us):  " + ",  ".join(
        f"{n:,}: {p:.2f} (floor {f:.2f})" for n, (p, f) in per_name.items()))
    linear_ok = growth <= 1.25
    print(f"growth of the cost per name from 1,000 to 10,000 names: {growth:.2f} "
          f"(floor {growth_floor:.2f}; linear = 1.00, target <= 1.25)  "
          f"{'ok' if linear_ok else 'MISSED'}")
    if processor == "i686":
        size_ok = size <= 256 * 1024
        print(f"pelmora.exe stripped: {size / 1024:.0f} KiB (target <= 256 KiB)  "
              f"{'ok' if size_ok else 'MISSED'}")
    else:
        # The size target is the released program's, and that is always the 32-bit one.
        size_ok = True
        print(f"pelmora.exe stripped: {size / 1024:.0f} KiB, the {processor} twin (not judged: "
              f"the 256 KiB target is the 32-bit program's)")
    imports_ok = not foreign
    print(f"imports: {', '.join(dlls)}  "
          f"{'ok: Windows DLLs only, statically linked' if imports_ok else 'MISSED: ' + ', '.join(foreign)}")
    samples_note = (f"medians of {len(start['program'])} start-ups each; in-process: "
                    f"{len(inproc[('move', 'program', 0)])} rounds of moves, "
                    f"{len(inproc[('list', 'program', 10000)])} of the 10,000-name list fill, "
                    f"{len(inproc[('save', 'program', 10000)])} of Save and of each Recall")
    print(samples_note)

    all_ok = all(r[6] for r in rows) and linear_ok and size_ok and imports_ok
    print("verdict: " + ("every target met" if all_ok else "some targets MISSED"))
    shutil.rmtree(run_dir, ignore_errors=True)
    return 0 if all_ok else 1


if __name__ == "__main__":
    sys.exit(main())
