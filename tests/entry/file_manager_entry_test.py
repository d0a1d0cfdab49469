#!/usr/bin/python3
"""The "Convert to ... item" entries of Dolphin (a KDE service menu) and Nemo (an action), checked as
those file managers read them and run with a selection of several files, as they run them:
    file_manager_entry_test.py PROGRAM CLI SAMPLES_DIR ENTRY...
Every file converts, so the run ends quietly without a display; its outputs are those of
`relicwright-cli convert`."""
import configparser
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

PROGRAM, CLI, SAMPLES = sys.argv.pop(1), sys.argv.pop(1), sys.argv.pop(1)
ENTRIES, sys.argv[1:] = sys.argv[1:], []
# Target game: the source extension and type, and a selection with spaces and other scripts in names.
GAMES = {"hellfire": ("itm", "application/x-diablo-item", {"a ring of mine.itm": "ring.itm", "μαχαίρι.itm": "dagger.itm",
                                                             "短剣.itm": "butchers-cleaver.itm"}),
         "diablo": ("hif", "application/x-hellfire-item", {"amulet.hif": "amulet.hif", "great axe (2).hif": "great-axe.hif",
                                                            "χάρτης.hif": "map-of-stars.hif"})}


class FileManagerEntry(unittest.TestCase):
    def run_entry(self, game, expand):
        """Runs the entry's command on a selection; compares its outputs with the command line's."""
        work = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, work)
        os.mkdir(os.path.join(work, "bin"))  # the entries name the program alone, as installed on PATH
        os.symlink(os.path.abspath(PROGRAM), os.path.join(work, "bin", "relicwright"))
        extension, _, selection = GAMES[game]
        for folder in ("selected", "expected"):
            os.mkdir(os.path.join(work, folder))
            for name, sample in selection.items():
                shutil.copy(os.path.join(SAMPLES, sample), os.path.join(work, folder, name))
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["PATH"] = os.path.join(work, "bin") + os.pathsep + env["PATH"]
        run = subprocess.run(expand([os.path.join(work, "selected", n) for n in selection]), env=env,
                             capture_output=True, text=True, timeout=60)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (0, "", ""))
        subprocess.run([os.path.abspath(CLI), "convert", "--to", game, *selection], cwd=os.path.join(work, "expected"), check=True,
                       capture_output=True)
        outputs = sorted(os.listdir(os.path.join(work, "expected")))
        self.assertEqual(sorted(os.listdir(os.path.join(work, "selected"))), outputs)
        self.assertEqual(len(outputs), 2 * len(selection))
        for name in outputs:
            with open(os.path.join(work, "selected", name), "rb") as got, open(os.path.join(work, "expected", name), "rb") as want:
                self.assertEqual(got.read(), want.read(), name)

    def test_entries(self):
        self.assertTrue(ENTRIES)
        for path in ENTRIES:
            with self.subTest(entry=path):
                entry = configparser.ConfigParser(interpolation=None)
                entry.optionxform = str
                entry.read(path, encoding="utf-8")
                (self.service_menu if path.endswith(".desktop") else self.nemo_action)(path, entry)

    def service_menu(self, path, entry):
        main = entry["Desktop Entry"]
        action = entry["Desktop Action " + main["Actions"].rstrip(";")]
        game = shlex.split(action["Exec"])[2]
        self.assertEqual((main["Type"], main["MimeType"], action["Name"]),
                         ("Service", GAMES[game][1] + ";", f"Convert to {game.capitalize()} item"))
        # desktop-file-validate knows only the standard types: the keys are checked in the Application
        # entry a service menu is written like.
        standard = os.path.join(tempfile.mkdtemp(), "standard.desktop")
        self.addCleanup(shutil.rmtree, os.path.dirname(standard))
        with open(path, encoding="utf-8") as f, open(standard, "w", encoding="utf-8") as out:
            out.write(f.read().replace("Type=Service\n", "Type=Application\nExec=relicwright\n"))
        validated = subprocess.run(["desktop-file-validate", standard], capture_output=True, text=True)
        self.assertEqual(validated.returncode, 0, validated.stdout + validated.stderr)
        # KIO gives each selected file as an argument of its own for %F.
        self.run_entry(game, lambda paths: [p for a in shlex.split(action["Exec"]) for p in (paths if a == "%F" else [a])])

    def nemo_action(self, path, entry):
        action = entry["Nemo Action"]
        game = shlex.split(action["Exec"])[2]
        extension, mime, _ = GAMES[game]
        self.assertEqual((action["Name"], action["Selection"], action["Extensions"], action["Mimetypes"]),
                         (f"Convert to {game.capitalize()} item", "notnone", extension + ";", mime + ";"))
        self.assertNotIn("Quote", action)
        # Nemo puts the selection for %F into the command line, each path escaped for the shell, and
        # splits the line as a shell would.
        self.run_entry(game, lambda paths: shlex.split(action["Exec"].replace("%F", " ".join(map(shlex.quote, paths)))))


if __name__ == "__main__":
    unittest.main(verbosity=2)
