#!/usr/bin/python3
"""Plants each fault of faults.txt in turn into a scratch copy of the source, rebuilds
incrementally and runs the suite: a fault is killed when a test fails (or hangs for 30 s; no
test takes that long here), survives when every test passes, and counts as neither when the
build breaks.

    tools/mutants/run.py [--only NAME,NAME] [--list] [--rev COMMIT]

The scratch copy lives in build-mutants/src and its build in build-mutants/build; both are
reused by the next run. Only the standard library is used.
"""

import argparse
import io
import tarfile
import atexit
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WORK = os.path.join(ROOT, "build-mutants")
SRC = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "build")
FAULTS = os.path.join(ROOT, "tools", "mutants", "faults.txt")
JOBS = str(os.cpu_count() or 2)


class Fault:
    def __init__(self, ident, what):
        self.ident, self.what = ident, what
        self.file = None
        self.old, self.new = [], []


def read_faults(path):
    """Blocks of: '== id: what', 'file path', '-' lines to find (exactly once), '+' lines."""
    faults = []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.startswith("#") or not line.strip():
                continue
            if line.startswith("== "):
                ident, _, what = line[3:].partition(":")
                faults.append(Fault(ident.strip(), what.strip()))
            elif not faults:
                sys.exit(f"{path}:{number}: text before the first fault")
            elif line.startswith("file "):
                faults[-1].file = line[5:].strip()
            elif line[:1] in "-+":
                (faults[-1].old if line[0] == "-" else faults[-1].new).append(line[1:])
            else:
                sys.exit(f"{path}:{number}: expected '== ', 'file ', '-' or '+'")
    for fault in faults:
        if not fault.file or not fault.old:
            sys.exit(f"{path}: fault {fault.ident} needs a file and a text to replace")
    idents = [f.ident for f in faults]
    if len(set(idents)) != len(idents):
        sys.exit(f"{path}: fault names repeat")
    return faults


def source_files(rev):
    """The tracked files and their bytes: of the working tree, or of a commit when rev is given."""
    if rev:
        tar = subprocess.run(["git", "archive", "--format=tar", rev], cwd=ROOT, check=True,
                             capture_output=True).stdout
        with tarfile.open(fileobj=io.BytesIO(tar)) as archive:
            return {m.name: (archive.extractfile(m).read(), m.mode & 0o111)
                    for m in archive.getmembers() if m.isfile()}
    out = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                         capture_output=True).stdout
    files = {}
    for path in out.decode().split("\0"):
        full = os.path.join(ROOT, path)
        if path and os.path.isfile(full):
            with open(full, "rb") as f:
                files[path] = (f.read(), os.stat(full).st_mode & 0o111)
    return files


def sync_copy(rev):
    """Mirrors the source into SRC, touching only what changed so the build stays warm."""
    files = source_files(rev)
    for path, (data, executable) in files.items():
        dst = os.path.join(SRC, path)
        if os.path.exists(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
        os.chmod(dst, 0o755 if executable else 0o644)
    for dirpath, _, names in os.walk(SRC):
        for name in names:
            rel = os.path.relpath(os.path.join(dirpath, name), SRC)
            if rel not in files:
                os.remove(os.path.join(dirpath, name))


def run(cmd, cwd, log, timeout=None):
    with open(log, "w") as out:
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def configure():
    if os.path.exists(os.path.join(BUILD, "build.ninja")):
        return
    os.makedirs(BUILD, exist_ok=True)
    samples = os.path.join(os.path.dirname(ROOT), "shared", "samples")
    cmd = ["cmake", "-S", SRC, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
           "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG", "-DLEDGRIX_BUILD_BENCH=OFF",
           "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache",
           "-DLEDGRIX_SAMPLES_DIR=" + samples]
    if run(cmd, ROOT, os.path.join(WORK, "configure.log")) != 0:
        sys.exit("configuring the scratch build failed: see build-mutants/configure.log")


# Test folders of the build, the likeliest killers first: the planted layer's own tests, then
# the fast ones, the slow crash simulations last (only a fault that survives the rest pays).
TEST_DIRS = ["tests/formats", "tests/maintenance", "tests/platform", "tests/cli",
             "tests/commands", "tests/app", "tests/about", "fuzz", "tests/install", "tests/crash"]
LAYER_TESTS = {"about": "tests/about", "app": "tests/app", "cli": "tests/cli",
               "commands": "tests/commands", "formats": "tests/formats",
               "maintenance": "tests/maintenance", "platform": "tests/platform"}


def build(log, target=None):
    cmd = ["cmake", "--build", BUILD, "-j", JOBS] + (["--target", target + "/all"] if target else [])
    return run(cmd, ROOT, log) == 0


def ctest(d, out, stop_early):
    cmd = ["ctest", "-j", JOBS, "--timeout", "30", "--output-on-failure"]
    if stop_early:
        cmd.append("--stop-on-failure")
    out.write(f"== {d}\n")
    out.flush()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    return subprocess.run(cmd, cwd=os.path.join(BUILD, d), stdout=out, stderr=subprocess.STDOUT,
                          env=env).returncode == 0


def suite(log):
    with open(log, "w") as out:
        return all(ctest(d, out, False) for d in TEST_DIRS)


def try_fault(fault, logs):
    """'broken', 'killed' or 'survived'. The planted layer's own tests are built and run first:
    most faults fall there without building the rest."""
    first = LAYER_TESTS.get(fault.file.split("/")[0])
    log = os.path.join(logs, fault.ident + ".suite.log")
    with open(log, "w") as out:
        if first:
            if not build(os.path.join(logs, fault.ident + ".build.log"), first):
                return "broken"
            if not ctest(first, out, True):
                return "killed"
        if not build(os.path.join(logs, fault.ident + ".build-all.log")):
            return "broken"
        for d in TEST_DIRS:
            if d != first and not ctest(d, out, True):
                return "killed"
    return "survived"


def count_tests(path):
    out = subprocess.run(["ctest", "-N"], cwd=path, capture_output=True, text=True).stdout
    return sum(1 for line in out.splitlines() if re.match(r"\s*Test\s+#", line))


def first_failure(log):
    with open(log, errors="replace") as f:
        for line in f:
            if "***Failed" in line or "***Timeout" in line or "***Exception" in line:
                return line.split("Test #", 1)[-1].split(":", 1)[-1].split("...")[0].strip()
    return ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only", help="comma-separated fault names")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--rev", help="plant into this commit's source instead of the work tree")
    args = parser.parse_args()

    faults = read_faults(FAULTS)
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f.ident in wanted]
    if args.list:
        for f in faults:
            print(f"{f.ident:28} {f.file:44} {f.what}")
        return 0

    os.makedirs(WORK, exist_ok=True)
    os.environ["CCACHE_BASEDIR"] = SRC
    # Temporary portfolios in memory: the suite syncs thousands of files, which on a disk
    # costs more than all its tests' work.
    if os.path.isdir("/dev/shm") and "TMPDIR" not in os.environ:
        os.environ["TMPDIR"] = os.path.join("/dev/shm", f"ledgrix-mutants-{os.getpid()}")
        os.makedirs(os.environ["TMPDIR"])
        atexit.register(shutil.rmtree, os.environ["TMPDIR"], True)
    sync_copy(args.rev)
    configure()
    logs = os.path.join(WORK, "logs")
    os.makedirs(logs, exist_ok=True)
    print(f"{len(faults)} planted faults; building the unchanged copy", flush=True)
    if not build(os.path.join(logs, "clean-build.log")):
        sys.exit("the unchanged source does not build: see build-mutants/logs/clean-build.log")
    listed = sum(count_tests(os.path.join(BUILD, d)) for d in TEST_DIRS)
    if listed != count_tests(BUILD):
        sys.exit("a test folder is missing from TEST_DIRS in tools/mutants/run.py")
    if not suite(os.path.join(logs, "clean-suite.log")):
        sys.exit("the suite fails on the unchanged source: see build-mutants/logs/clean-suite.log")

    killed, survived, broken, stale = [], [], [], []
    started = time.time()
    for fault in faults:
        path = os.path.join(SRC, fault.file)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        old, new = "\n".join(fault.old) + "\n", "\n".join(fault.new) + ("\n" if fault.new else "")
        if original.count(old) != 1:
            stale.append(fault)
            print(f"STALE     {fault.ident}: the text to replace is not in {fault.file} once")
            continue
        t0 = time.time()
        with open(path, "w", encoding="utf-8") as f:
            f.write(original.replace(old, new))
        try:
            verdict = try_fault(fault, logs)
            if verdict == "broken":
                broken.append(fault)
                detail = "does not build"
            elif verdict == "survived":
                survived.append(fault)
                detail = fault.what
            else:
                killed.append(fault)
                detail = first_failure(os.path.join(logs, fault.ident + ".suite.log"))
        finally:
            # A fresh time stamp makes the next build take the original back (from ccache).
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"{verdict.upper() if verdict != 'killed' else verdict:9} {fault.ident:28} {time.time() - t0:5.0f} s  {detail}", flush=True)

    build(os.path.join(logs, "restore-build.log"))
    scored = len(killed) + len(survived)
    print(f"\n{len(killed)} killed, {len(survived)} survived, {len(broken)} did not build, "
          f"{len(stale)} stale; score {100.0 * len(killed) / max(scored, 1):.1f} % "
          f"({time.time() - started:.0f} s)")
    for fault in survived:
        print(f"  survived: {fault.ident} ({fault.file}): {fault.what}")
    subprocess.run(["sh", os.path.join(ROOT, "tools", "count-test-lines.sh")] +
                   ([args.rev] if args.rev else []))
    return 0 if not broken and not stale else 1


if __name__ == "__main__":
    sys.exit(main())
