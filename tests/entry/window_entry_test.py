#!/usr/bin/python3
"""The window started as a person, a menu or a file manager starts it, read through the
accessibility bus as a screen reader reads it:
    window_entry_test.py PROGRAM SAMPLES_DIR [WindowEntry.test_...]
Each run has a desktop of its own, so runs side by side never meet: a session bus, a runtime folder
(where the accessibility bus puts its socket) and a virtual X server."""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import warnings

if "RELICWRIGHT_OWN_SESSION" not in os.environ:
    runtime = tempfile.mkdtemp()
    os.environ.update(RELICWRIGHT_OWN_SESSION="1", XDG_RUNTIME_DIR=runtime, XDG_CACHE_HOME=runtime)
    status = subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv]).returncode
    shutil.rmtree(runtime, ignore_errors=True)
    sys.exit(status)

warnings.filterwarnings("ignore", category=DeprecationWarning)
import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

PROGRAM, SAMPLES = sys.argv.pop(1), sys.argv.pop(1)
EMPTY = "<Empty>"


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
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return node.name


class Window:
    def __init__(self, *args, cwd=None, program=PROGRAM, path=None):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        env["PATH"] = (path + os.pathsep if path else "") + env["PATH"]
        self.process = subprocess.Popen([program, *args], cwd=cwd, env=env)
        self.app = wait_for(self._app, lambda: f"the window on the accessibility bus (exit status "
                            f"{self.process.poll()}; on the bus: {[a.name for a in pyatspi.Registry.getDesktop(0)]})")

    def _app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid and app.childCount:
                return app
        return None

    def dialogs(self):
        return [d for d in self.app if d is not None and d.getState().contains(pyatspi.STATE_SHOWING)]

    def main(self):
        return next(d for d in self.dialogs() if d.name == "Ostrand's Relicwright v1.02")

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

    def message(self):
        """The caption and texts of the message box over the window, once it shows; its OK pressed."""
        box = wait_for(lambda: [d for d in self.dialogs() if d.name != self.main().name], "a message box")[0]
        texts = [n.name for n in walk(box) if n.getRole() == pyatspi.ROLE_LABEL and n.name]
        caption = self.titles() - {self.main().name}
        ok = next(n for n in walk(box) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "OK")
        ok.queryAction().doAction(0)
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
        self.process.wait(timeout=20)
        return self.process.returncode


START = {"Loaded item": ("field", EMPTY), "Game of the loaded file": ("field", EMPTY),
         "Item to write": ("list", None), "Game to write for": ("list", None)}


def setUpModule():
    """The X server chooses a free display itself, so two starting at once never take the same."""
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
                              pass_fds=(told,), stderr=subprocess.DEVNULL)
    os.close(told)
    os.environ["DISPLAY"] = ":" + os.read(ready, 16).decode().strip()
    unittest.addModuleCleanup(lambda: (server.kill(), server.wait()))


class WindowEntry(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)

    def start(self, *args, **options):
        window = Window(*args, **options)
        self.addCleanup(lambda: window.process.poll() is None and window.process.kill())
        return window

    def test_plain_start_shows_the_empty_window_and_ends_on_escape(self):
        window = self.start()
        self.assertEqual(window.controls(), START)
        self.assertEqual(window.close(), 0)

    def test_relative_file_argument_is_found_from_the_working_folder(self):
        shutil.copy(os.path.join(SAMPLES, "dagger.itm"), self.dir)
        window = self.start("dagger.itm", cwd=self.dir)
        wait_for(lambda: window.controls()["Loaded item"] == ("field", "Dagger"), "the file to load")
        self.assertEqual(window.controls(), {"Loaded item": ("field", "Dagger"),
                                             "Game of the loaded file": ("field", "Diablo"),
                                             "Item to write": ("list", "Dagger"),
                                             "Game to write for": ("list", "Hellfire")})
        self.assertEqual(window.close(), 0)

    def test_unreadable_file_argument_is_reported_over_the_window_which_then_starts_empty(self):
        window = self.start("missing.itm", cwd=self.dir)
        caption, texts = window.message()
        self.assertEqual(caption, {"relicwright"})
        self.assertIn(os.path.join(os.path.realpath(self.dir), "missing.itm") + " was not found.", texts)
        self.assertEqual(window.controls(), START)
        self.assertEqual(window.close(), 0)

    def opener(self, status):
        """A stand-in for the desktop's opener that notes the address it is given."""
        script = os.path.join(self.dir, "xdg-open")
        with open(script, "w") as f:
            f.write(f'#!/bin/sh\necho "$1" >>"{self.dir}/opened"\nexit {status}\n')
        os.chmod(script, 0o755)
        return pathlib.Path(self.dir, "opened")

    def test_f1_opens_the_help_page_at_its_section(self):
        opened = self.opener(0)
        window = self.start(path=self.dir)
        window.key("F1")
        said = lambda: opened.read_text() if opened.exists() else ""
        wait_for(lambda: said().endswith("\n"), "the opener")
        self.assertRegex(said(), r"^file:///.*/help\.html#main-window\n$")
        time.sleep(0.5)  # a late failure report would show by now
        self.assertEqual(len(window.dialogs()), 1)
        self.assertEqual(window.close(), 0)

    def f1_fails(self, status, program):
        self.opener(status)
        window = self.start(program=program, path=self.dir)
        window.key("F1")
        self.assertIn("Failed to launch help.", window.message()[1])
        self.assertEqual(window.close(), 0)

    def test_f1_says_so_when_no_browser_takes_the_page(self):
        self.f1_fails(3, PROGRAM)

    def test_f1_says_so_when_there_is_no_page(self):
        self.f1_fails(0, shutil.copy(PROGRAM, os.path.join(self.dir, "relicwright")))  # no help.html beside it

    def test_help_and_version_print_without_a_display(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        for option, first in (("--help", "Usage: relicwright [FILE]"), ("--version", "relicwright 1.02")):
            run = subprocess.run([PROGRAM, option], env=env, capture_output=True, text=True, timeout=20)
            self.assertEqual((run.returncode, run.stdout.splitlines()[0], run.stderr), (0, first, ""))

    def test_convert_to_lists_every_file_not_converted_in_one_box(self):
        """--convert-to as a file manager's entry runs it, with every kind of file that cannot convert."""
        d = pathlib.Path(self.dir)
        dagger = pathlib.Path(SAMPLES, "dagger.itm").read_bytes()
        for name in ("good.itm", "exists.itm", "ro/locked.itm", "already.hif"):
            (d / name).parent.mkdir(exist_ok=True)
            (d / name).write_bytes(dagger)
        (d / "exists.hif").write_bytes(b"kept")
        (d / "folder.itm").mkdir()
        (d / "fake.itm").write_text("not an item, only its name says so\n")
        (d / "notes.txt").write_bytes(dagger)
        odd = os.fsencode(self.dir) + b"/\xff\xfe odd.itm"  # not UTF-8: shown, not fatal
        with open(odd, "wb") as f:
            f.write(dagger)
        with open(odd[:-3] + b"hif", "wb") as f:
            f.write(b"kept")
        many = [f"many/{n:03}.hif" for n in range(300)]
        (d / "many").mkdir()
        for name in many:
            (d / name).write_bytes(dagger)
        locked = subprocess.run(["chattr", "+i", str(d / "ro")], capture_output=True).returncode == 0
        self.addCleanup(lambda: subprocess.run(["chattr", "-i", str(d / "ro")], capture_output=True))
        if not locked:
            os.chmod(d / "ro", 0o555)
        names = ["good.itm", "exists.itm", "ro/locked.itm", "folder.itm", "missing.itm", "fake.itm", "notes.txt",
                 "already.hif", os.fsdecode(odd), *many]
        window = self.start("--convert-to", "hellfire", *names, cwd=self.dir)
        boxes = wait_for(window.dialogs, "the summary")
        time.sleep(0.5)  # a second box would show by now
        self.assertEqual(len(window.dialogs()), 1)
        text = "\n".join(n.name for n in walk(boxes[0]) if n.getRole() == pyatspi.ROLE_LABEL and n.name)
        next(n for n in walk(boxes[0]) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON).queryAction().doAction(0)
        self.assertEqual(window.process.wait(timeout=20), 1)
        lines = text.splitlines()
        full = lambda name: os.path.join(os.path.realpath(self.dir), name)
        self.assertEqual(lines[0], "308 of 309 files were not converted to Hellfire:")
        self.assertEqual(lines[2:7], [
            f"exists.itm: {full('exists.hif')} already exists",
            f"locked.itm: Access to {full('ro/locked.hif')} was denied.",
            f"folder.itm: Access to {full('folder.itm')} was denied.",
            f"missing.itm: {full('missing.itm')} was not found.",
            "fake.itm: base item code 0 is not a registered \"Diablo\" item"])
        self.assertEqual(lines[7:9], ["notes.txt: not an item file: the extension is neither .itm nor .hif",
                                      "already.hif: already a Hellfire item file"])
        self.assertTrue(lines[9].startswith("\ufffd\ufffd odd.itm: "), lines[9])
        self.assertEqual(lines[10:], [f"{n:03}.hif: already a Hellfire item file" for n in range(12)] + ["... and 288 more."])
        # Converted as the command line converts it; nothing else written, replaced or left over.
        subprocess.run([os.environ["RELICWRIGHT_CLI"], "convert", "--to",
                        "hellfire", "-o", str(d / "expected.hif"), str(d / "good.itm")], check=True, capture_output=True)
        self.assertEqual((d / "good.hif").read_bytes(), (d / "expected.hif").read_bytes())
        self.assertEqual((d / "exists.hif").read_bytes(), b"kept")
        self.assertEqual(sorted(os.listdir(d / "ro")), ["locked.itm"])
        self.assertEqual(len(os.listdir(d / "many")), 300)
        self.assertEqual(sorted(p.name for p in d.iterdir() if p.name.startswith(".")), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
