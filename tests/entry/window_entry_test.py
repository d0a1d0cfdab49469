#!/usr/bin/python3
"""The window started as a person, a menu or a file manager starts it, read through the
accessibility bus as a screen reader reads it:
    window_entry_test.py PROGRAM SAMPLES_DIR [WindowEntry.test_...]
Each run has a desktop of its own, so runs side by side never meet: a session bus, a runtime folder
(where the accessibility bus puts its socket) and a virtual X server."""
import os, pathlib, shutil, subprocess, sys, tempfile, time, unittest, warnings

if "RELICWRIGHT_OWN_SESSION" not in os.environ:
    runtime = tempfile.mkdtemp()
    os.environ.update(RELICWRIGHT_OWN_SESSION="1", XDG_RUNTIME_DIR=runtime, XDG_CACHE_HOME=runtime)
    status = subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv]).returncode
    shutil.rmtree(runtime, ignore_errors=True)
    sys.exit(status)

sys.dont_write_bytecode = True  # nothing written beside the sources
warnings.filterwarnings("ignore", category=DeprecationWarning)
import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402
from display import start_display  # noqa: E402

PROGRAM, SAMPLES = sys.argv.pop(1), sys.argv.pop(1)
MAIN = "Ostrand's Relicwright v1.02"


def wait_for(find, what, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        # What the bus tells of programs coming and going arrives through the main loop.
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    raise AssertionError("gave up waiting for " + (what() if callable(what) else what))


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def spoken_name(node):
    """The label a screen reader speaks: the labelling control's name, else the node's own."""
    return next((r.getTarget(0).name for r in node.getRelationSet()
                 if r.getRelationType() == pyatspi.RELATION_LABELLED_BY), node.name)


class Window:
    def __init__(self, *args, cwd=None, program=PROGRAM, path=None):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        env["PATH"] = (path + os.pathsep if path else "") + env["PATH"]
        self.process = subprocess.Popen([program, *args], cwd=cwd, env=env)
        self.app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0) if a is not None
                                          and a.get_process_id() == self.process.pid and a.childCount), None),
                            lambda: f"the window on the accessibility bus (exit status {self.process.poll()}; "
                            f"on the bus: {[a.name for a in pyatspi.Registry.getDesktop(0)]})")

    def dialogs(self):
        return [d for d in self.app if d is not None and d.getState().contains(pyatspi.STATE_SHOWING)]

    def main(self):
        return next(d for d in self.dialogs() if d.name == MAIN)

    def controls(self):
        """Spoken name -> (role, what it shows: a field's text or a list's selected entry)."""
        text = lambda node: node.queryText().getText(0, -1)
        shown = {}
        for node in walk(self.main()):
            role = node.getRole()
            if role == pyatspi.ROLE_TEXT and node.name:
                shown[node.name] = ("field", text(node))
            elif role == pyatspi.ROLE_COMBO_BOX:
                edit = next(n for n in node if n.getRole() == pyatspi.ROLE_TEXT)
                shown[spoken_name(node)] = ("list", text(edit) or None)
        return shown

    def message(self, ends=False):
        """The caption and texts of the one message box the program shows, once it shows; its OK pressed,
        after which the window is left alone or, with `ends`, the program has ended."""
        boxes = lambda: [d for d in self.dialogs() if d.name != MAIN]
        wait_for(boxes, "a message box")
        time.sleep(0.5)  # a second box would show by now
        assert len(boxes()) == 1, [d.name for d in boxes()]
        texts = [n.name for n in walk(boxes()[0]) if n.getRole() == pyatspi.ROLE_LABEL and n.name]
        caption = self.titles() - {MAIN}
        ok = next(n for n in walk(boxes()[0]) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "OK")
        ok.queryAction().doAction(0)
        if ends:
            return self.process.wait(timeout=20), texts
        wait_for(lambda: len(self.dialogs()) == 1, "the message box to close")
        return caption, texts

    def titles(self):
        """The titles the desktop shows on the program's windows (a box's is not on the bus)."""
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                             capture_output=True, text=True).stdout.split()
        return {subprocess.run(["xdotool", "getwindowname", i], capture_output=True, text=True).stdout.strip()
                for i in ids}

    def key(self, name):
        self.main().queryComponent().grabFocus()
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)

    def close(self):
        self.key("Escape")
        return self.process.wait(timeout=20)


START = {"Loaded item": ("field", "<Empty>"), "Game of the loaded file": ("field", "<Empty>"),
         "Item to write": ("list", None), "Game to write for": ("list", None)}
LOADED = {"Loaded item": ("field", "Dagger"), "Game of the loaded file": ("field", "Diablo"),
          "Item to write": ("list", "Dagger"), "Game to write for": ("list", "Hellfire")}


setUpModule = start_display


class WindowEntry(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)

    def start(self, *args, **options):
        window = Window(*args, **options)
        self.addCleanup(lambda: window.process.poll() is None and window.process.kill())
        return window

    def test_start_with_no_file_a_relative_one_or_one_that_cannot_be_read(self):
        # A relative file is found from the working folder; one not found is reported, the window empty.
        shutil.copy(os.path.join(SAMPLES, "dagger.itm"), self.dir)
        missing = os.path.join(os.path.realpath(self.dir), "missing.itm") + " was not found."
        for args, message, shown in (((), None, START), (("dagger.itm",), None, LOADED),
                                     (("missing.itm",), missing, START)):
            with self.subTest(args=args):
                window = self.start(*args, cwd=self.dir)
                if message:
                    caption, texts = window.message()
                    self.assertEqual((caption, message in texts), ({"relicwright"}, True), texts)
                wait_for(lambda: window.controls() == shown, lambda: f"{shown}, not {window.controls()}")
                self.assertEqual(window.close(), 0)

    def test_f1_opens_the_help_page_at_its_section_or_says_it_failed(self):
        # A stand-in for the desktop's opener that notes the address it is given.
        opener, opened = pathlib.Path(self.dir, "xdg-open"), pathlib.Path(self.dir, "opened")
        alone = shutil.copy(PROGRAM, os.path.join(self.dir, "relicwright"))  # no help.html beside it
        for status, program in ((0, PROGRAM), (3, PROGRAM), (0, alone)):
            with self.subTest(status=status, program=program):
                opener.write_text(f'#!/bin/sh\necho "$1" >>"{opened}"\nexit {status}\n')
                opener.chmod(0o755)
                window = self.start(program=program, path=self.dir)
                window.key("F1")
                if (status, program) == (0, PROGRAM):
                    wait_for(lambda: opened.exists() and opened.read_text().endswith("\n"), "the opener")
                    self.assertRegex(opened.read_text(), r"^file:///.*/help\.html#main-window\n$")
                    opened.unlink()
                    time.sleep(0.5)  # a late failure report would show by now
                    self.assertEqual(len(window.dialogs()), 1)
                else:
                    self.assertIn("Failed to launch help.", window.message()[1])
                self.assertEqual(window.close(), 0)

    def test_help_and_version_print_without_a_display(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        for option, first in (("--help", "Usage: relicwright [FILE]"), ("--version", "relicwright 1.02")):
            run = subprocess.run([PROGRAM, option], env=env, capture_output=True, text=True, timeout=20)
            self.assertEqual((run.returncode, run.stdout.splitlines()[0], run.stderr), (0, first, ""))

    def test_convert_to_lists_every_file_not_converted_in_one_box(self):
        """--convert-to as a file manager's entry runs it. The core's own test gives each reason word for
        word; here, those of files only a real folder refuses, one per line and no more than 20."""
        d = pathlib.Path(self.dir)
        dagger = pathlib.Path(SAMPLES, "dagger.itm").read_bytes()
        many = [f"many/{n:03}.hif" for n in range(300)]
        for name in ("good.itm", "exists.itm", "ro/locked.itm", *many):
            (d / name).parent.mkdir(exist_ok=True)
            (d / name).write_bytes(dagger)
        (d / "folder.itm").mkdir()
        odd = os.fsencode(self.dir) + b"/\xff\xfe odd."  # not UTF-8: shown, not fatal
        for name, data in ((d / "exists.hif", b"kept"), (odd + b"itm", dagger), (odd + b"hif", b"kept")):
            with open(name, "wb") as f:
                f.write(data)
        locked = subprocess.run(["chattr", "+i", str(d / "ro")], capture_output=True).returncode == 0
        self.addCleanup(lambda: subprocess.run(["chattr", "-i", str(d / "ro")], capture_output=True))
        if not locked:
            os.chmod(d / "ro", 0o555)
        names = ["good.itm", "exists.itm", "ro/locked.itm", "folder.itm", os.fsdecode(odd + b"itm"), *many]
        status, texts = self.start("--convert-to", "hellfire", *names, cwd=self.dir).message(ends=True)
        self.assertEqual(status, 1)
        lines = "\n".join(texts).splitlines()
        full = lambda name: os.path.join(os.path.realpath(self.dir), name)
        self.assertEqual(lines[:5], ["304 of 305 files were not converted to Hellfire:", "",
                                     f"exists.itm: {full('exists.hif')} already exists",
                                     f"locked.itm: Access to {full('ro/locked.hif')} was denied.",
                                     f"folder.itm: Access to {full('folder.itm')} was denied."])
        self.assertTrue(lines[5].startswith("\ufffd\ufffd odd.itm: "), lines[5])
        self.assertEqual(lines[6:], [f"{n:03}.hif: already a Hellfire item file" for n in range(16)] + ["... and 284 more."])
        # Converted as the command line converts it; nothing else written, replaced or left over.
        subprocess.run([os.environ["RELICWRIGHT_CLI"], "convert", "--to", "hellfire", "-o", d / "expected.hif",
                        d / "good.itm"], check=True, capture_output=True)
        self.assertEqual((d / "good.hif").read_bytes(), (d / "expected.hif").read_bytes())
        self.assertEqual((d / "exists.hif").read_bytes(), b"kept")
        self.assertEqual(sorted(os.listdir(d / "ro")), ["locked.itm"])
        self.assertEqual(len(os.listdir(d / "many")), 300)
        self.assertEqual(sorted(p.name for p in d.iterdir() if p.name.startswith(".")), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
