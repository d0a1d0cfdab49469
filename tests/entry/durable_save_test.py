#!/usr/bin/python3
"""relicwright-cli's saves at the system calls (strace, which fake file steps cannot stand in for):
the new file is flushed before it takes the output's name and the folder after, so that neither
is lost to a power cut once convert has said it saved.
    durable_save_test.py PROGRAM SAMPLES_DIR"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

PROGRAM, SAMPLES = sys.argv[1:3]
CALLS = "open,openat,link,linkat,rename,renameat,renameat2,fsync,fdatasync,access,faccessat,faccessat2"
SUCCEEDED = re.compile(r"(\w+)\((.*)\)\s+= (\d+)")  # -y adds each descriptor's path: 3</dir/file>


def fault(lines, folder, naming):
    """What one thread's save of dagger.hif through the call `naming` (None: any) did wrong: "" nothing,
    None no save."""
    fd_of, flushed, named = {}, set(), False
    for what, args, result in (m.groups() for m in map(SUCCEEDED.match, lines) if m):
        names = re.findall(r'"([^"]*)"', args)
        if what in ("open", "openat"):
            fd_of[names[0]] = result
            flushed.discard(result)
        elif what in ("fsync", "fdatasync"):
            fd, path = re.match(r"(\d+)<(.*?)>", args).groups()
            if named and path == folder:
                return ""
            flushed.add(fd)
        elif len(names) == 2:  # a link or rename: the name goes on holding the same file
            source = names[0].removeprefix("/proc/self/fd/")
            fd = fd_of[names[1]] = source if source != names[0] else fd_of.get(source)
            if names[1] == "dagger.hif" and naming in (None, what):
                if fd not in flushed:
                    return "named before its bytes were flushed"
                named = True
    return "folder not flushed after naming" if named else None


NO_PROC = ["-e", "inject=access,faccessat,faccessat2:error=ENOENT"]  # no unnamed file: a named one
CASES = [  # what, strace's faults, whether the output exists and is replaced, the call naming it
    ("new", [], False, None),  # linkat, or where a file system has no unnamed files renameat2
    ("replaced", [], True, "rename"),
    ("new, named", NO_PROC, False, "renameat2"),
    ("new, named, linked", NO_PROC + ["-e", "inject=renameat2:error=EINVAL"], False, "link"),
    ("replaced, named", NO_PROC, True, "rename"),
]
if shutil.which("strace") is None:
    print("SKIPPED: strace is not installed (Debian package strace)")
    sys.exit(77)
failed = 0
with tempfile.TemporaryDirectory() as scratch:
    work, traces = os.path.join(scratch, "work"), os.path.join(scratch, "traces")
    os.mkdir(work)
    shutil.copy(os.path.join(SAMPLES, "dagger.itm"), work)
    for what, faults, exists, naming in CASES:
        shutil.rmtree(traces, ignore_errors=True)
        os.mkdir(traces)
        if exists:
            shutil.copy(os.path.join(SAMPLES, "dagger.itm"), os.path.join(work, "dagger.hif"))
        elif os.path.exists(os.path.join(work, "dagger.hif")):
            os.remove(os.path.join(work, "dagger.hif"))
        run = subprocess.run(["strace", "-ff", "-y", "-s", "4096", "-o", os.path.join(traces, "t"), "-e",
                              "trace=" + CALLS, *faults, PROGRAM, "convert", *(["--force"] if exists else []),
                              "--to", "hellfire", "dagger.itm"], cwd=work, capture_output=True, text=True)
        found = [fault(open(os.path.join(traces, t)).read().splitlines(), os.path.realpath(work), naming)
                 for t in os.listdir(traces)]
        problem = run.stderr if run.returncode else min(found, key=lambda f: f is None, default=None)
        if problem != "":
            print(f"FAILED: {what}: {problem or f'dagger.hif never named by {naming}'}")
            failed += 1
print(f"{len(CASES) - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
