#!/usr/bin/python3
"""relicwright-cli's saves at the system calls (strace, which fake file steps cannot stand in for):
the new file is flushed after its bytes are written and before it takes the output's name (on its
own, or with its group by one syncfs), and the folder after, so that neither is lost to a power
cut once convert has said it saved. Where the syncfs fails, each file of the group is flushed on its
own, and a file whose own flush fails is not named and is reported.
    durable_save_test.py PROGRAM SAMPLES_DIR"""
import os, re, shutil, subprocess, sys, tempfile

PROGRAM, SAMPLES = sys.argv[1:3]
CALLS = "open,openat,write,link,linkat,rename,renameat,renameat2,fsync,fdatasync,syncfs,access,faccessat,faccessat2"
SUCCEEDED = re.compile(r"(\w+)\((.*)\)\s+= (\d+)")  # -y adds each descriptor's path: 3</dir/file>


def fault(lines, folder, naming, output="dagger.hif"):
    """What one thread's save of `output` through the call `naming` (None: any) did wrong: "" nothing,
    None no save."""
    fd_of, opened, flushed, named = {}, set(), set(), False
    for what, args, result in (m.groups() for m in map(SUCCEEDED.match, lines) if m):
        names = re.findall(r'"([^"]*)"', args)
        if what in ("open", "openat"):
            fd_of[names[0]] = result
            opened.add(result)
            flushed.discard(result)
        elif what == "write":
            flushed.discard(args.split("<", 1)[0])
        elif what in ("fsync", "fdatasync", "syncfs"):
            fd, path = re.match(r"(\d+)<(.*?)>", args).groups()
            if named and path == folder:
                return ""
            # A syncfs flushes every file of the file system, here the scratch folder's.
            flushed.update(opened if what == "syncfs" and path.startswith(folder + "/") else [fd])
        elif len(names) == 2:  # a link or rename: the name goes on holding the same file
            source = names[0].removeprefix("/proc/self/fd/")
            fd = fd_of[names[1]] = source if source != names[0] else fd_of.get(source)
            if names[1] == output and naming in (None, what):
                if fd not in flushed:
                    return "named before its bytes were flushed"
                named = True
    return "folder not flushed after naming" if named else None


NO_PROC = ["-e", "inject=access,faccessat,faccessat2:error=ENOENT"]  # no unnamed file: a named one
NO_SYNCFS = ["-e", "inject=syncfs:error=EIO"]
GROUP = ["a", "b", "dagger"]  # converted together, one syncfs for all
CASES = [  # what, strace's faults, whether the output exists and is replaced, the call naming it, files
    ("new", [], False, None, ["dagger"]),  # linkat, or where a file system has no unnamed files renameat2
    ("replaced", [], True, "rename", ["dagger"]),
    ("new, named", NO_PROC, False, "renameat2", ["dagger"]),
    ("new, named, linked", NO_PROC + ["-e", "inject=renameat2:error=EINVAL"], False, "link", ["dagger"]),
    ("replaced, named", NO_PROC, True, "rename", ["dagger"]),
    ("grouped", [], False, None, GROUP),
    ("grouped, replaced", [], True, "rename", GROUP),
    ("grouped, no syncfs", NO_SYNCFS, False, None, GROUP),
    # Flushed on their own, in the group's order: the second fails, and only its file is not saved.
    ("grouped, no syncfs, one flush failing", NO_SYNCFS + ["-e", "inject=fsync:error=EIO:when=2"], False, None,
     GROUP),
]
if shutil.which("strace") is None:
    print("SKIPPED: strace is not installed (Debian package strace)")
    sys.exit(77)
failed = 0
with tempfile.TemporaryDirectory() as scratch:
    for what, faults, exists, naming, files in CASES:
        work, traces = tempfile.mkdtemp(dir=scratch), tempfile.mkdtemp(dir=scratch)
        for name in files:
            for extension in (".itm", ".hif") if exists else (".itm",):
                shutil.copy(os.path.join(SAMPLES, "dagger.itm"), os.path.join(work, name + extension))
        run = subprocess.run(["strace", "-ff", "-y", "-s", "4096", "-o", os.path.join(traces, "t"), "-e",
                              "trace=" + CALLS, *faults, PROGRAM, "convert", *(["--force"] if exists else []),
                              "--to", "hellfire", *(name + ".itm" for name in files)],
                             cwd=work, capture_output=True, text=True)
        logs = [open(os.path.join(traces, t)).read().splitlines() for t in os.listdir(traces)]
        unsaved = files[1] if "flush failing" in what else None  # reported, never named, the status says so
        problems = [] if run.returncode == (1 if unsaved else 0) else [f"status {run.returncode}: {run.stderr}"]
        for name in files:
            found = [fault(log, os.path.realpath(work), naming, name + ".hif") for log in logs]
            problem = min(found, key=lambda f: f is None, default=None)
            if name == unsaved:
                if problem is not None or f"{name}.hif" not in run.stderr or os.path.exists(os.path.join(work, name + ".hif")):
                    problems.append(f"{name}.hif: {problem or 'saved or not reported'}")
            elif problem != "":
                problems.append(f"{name}.hif: {problem or f'never named by {naming}'}")
        if problems:
            print(f"FAILED: {what}: {'; '.join(problems)}")
            failed += 1
print(f"{len(CASES) - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
