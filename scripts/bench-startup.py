#!/usr/bin/env python3
"""Start-up cost of the program's command-line modes: CPU time, peak memory, shared objects.

    scripts/bench-startup.py [PROGRAM] [--runs N]

PROGRAM defaults to build/gcc/krellvane. Each mode runs N times (default 30) on the emulated
sample drives; the table gives the median CPU time (user + system) of one run, the largest peak
resident memory, the number of shared objects the run loaded (from the dynamic loader's own
trace, so objects opened later with dlopen count too) and whether any of them is a Qt library.
Needs GNU time (/usr/bin/time, Debian package time) for the peak memory.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile

MODES = [
    ["--version"],
    ["--help"],
    ["--list", "--emulate"],
    ["--check", "--emulate"],
    ["--check", "--json", "--emulate"],
]


def clean_env():
    env = dict(os.environ)
    env.pop("KRELLVANE_EMULATE", None)
    return env


def cpu_once(program, args):
    """CPU seconds (user + system) of one run."""
    with open(os.devnull, "wb") as null:
        child = subprocess.Popen([program] + args, stdout=null, stderr=null, env=clean_env())
        _, _, usage = os.wait4(child.pid, 0)
    return usage.ru_utime + usage.ru_stime


def peak_once(program, args):
    """Peak resident kilobytes of one run. Measured by GNU time, a small C program: a child of
    this Python process would count Python's own memory from before the exec."""
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name, program] + args,
                       env=clean_env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=False)
        return int(report.read().split()[-1])


def loaded_objects(program, args):
    """The shared objects the dynamic loader mapped during one run."""
    env = clean_env()
    env["LD_DEBUG"] = "files"
    done = subprocess.run([program] + args, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True, errors="replace", check=False)
    objects = set()
    for line in done.stderr.splitlines():
        # "   1234:\tfile=libc.so.6 [0];  needed by ./krellvane [0]"
        text = line.split(":", 1)[-1].strip()
        if text.startswith("file=") and ("needed by" in text or "dynamically loaded" in text):
            objects.add(text[len("file="):].split()[0].rstrip(";"))
    return sorted(objects)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", nargs="?", default="build/gcc/krellvane")
    parser.add_argument("--runs", type=int, default=30)
    options = parser.parse_args()
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("bench-startup: needs GNU time (Debian package time)")
    if not os.access(options.program, os.X_OK):
        sys.exit(f"bench-startup: no program at {options.program} (build it first)")
    if options.runs < 1:
        sys.exit("bench-startup: --runs needs a number above 0")

    print(f"{'mode':28} {'CPU ms':>7} {'peak MB':>8} {'objects':>8}  Qt")
    for args in MODES:
        cpu, peak = [], 0
        for _ in range(options.runs):
            cpu.append(cpu_once(options.program, args) * 1000.0)
        for _ in range(3):
            peak = max(peak, peak_once(options.program, args))
        objects = loaded_objects(options.program, args)
        qt = any(name.startswith("libQt") for name in objects)
        print(f"{' '.join(args):28} {statistics.median(cpu):7.1f} {peak / 1024.0:8.1f} "
              f"{len(objects):8d}  {'yes' if qt else 'no'}")


if __name__ == "__main__":
    main()
