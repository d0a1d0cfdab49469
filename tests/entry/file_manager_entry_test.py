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
GAMES = {"hellfire": ("itm", "application/x-diablo-item"), "diablo": ("hif", "application/x-hellfire-item")}
# A selection: a name with spaces and names in other scripts, of each game.
NAMES = {"itm": ["dagger.itm", "a ring of mine.itm", "μαχαίρι.itm", "短剣.itm"],
         "hif": ["amulet.hif", "great axe (2).hif", "χάρτης.hif"]}
SOURCES = {"itm": ["dagger.itm", "ring.itm", "dagger.itm", "butchers-cleaver.itm"],
           "hif": ["amulet.hif", "great-axe.hif", "map-of-stars.hif"]}


def read(path):
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    return entry


class FileManagerEntry(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        # The entries name the program alone, as installed on PATH.
        os.mkdir(os.path.join(self.dir, "bin"))
        os.symlink(os.path.abspath(PROGRAM), os.path.join(self.dir, "bin", "relicwright"))

    def selection(self, extension, folder):
        os.makedirs(os.path.join(self.dir, folder))
        paths = []
        for name, source in zip(NAMES[extension], SOURCES[extension]):
            paths.append(os.path.join(self.dir, folder, name))
            shutil.copy(os.path.join(SAMPLES, source), paths[-1])
        return paths

    def run_selected(self, argv):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["PATH"] = os.path.join(self.dir, "bin") + os.pathsep + env["PATH"]
        return subprocess.run(argv, env=env, capture_output=True, text=True, timeout=60)

    def check(self, path, game, expand):
        extension, mime = GAMES[game]
        paths = self.selection(extension, "selected")
        run = self.run_selected(expand(paths))
        self.assertEqual((run.returncode, run.stdout, run.stderr), (0, "", ""), path)
        # The same files converted by the command line, one by one, must give the same bytes.
        expected = self.selection(extension, "expected")
        for file in expected:
            subprocess.run([CLI, "convert", "--to", game, file], check=True, capture_output=True)
        made = sorted(set(os.listdir(os.path.join(self.dir, "selected"))) - {os.path.basename(p) for p in paths})
        self.assertEqual(made, sorted(os.path.splitext(os.path.basename(p))[0] + "." + ("hif" if game == "hellfire" else "itm")
                                      for p in paths))
        for name in made:
            with open(os.path.join(self.dir, "selected", name), "rb") as got, \
                    open(os.path.join(self.dir, "expected", name), "rb") as want:
                self.assertEqual(got.read(), want.read(), name)

    def test_entries(self):
        self.assertTrue(ENTRIES)
        for path in ENTRIES:
            with self.subTest(entry=path):
                shutil.rmtree(os.path.join(self.dir, "selected"), ignore_errors=True)
                shutil.rmtree(os.path.join(self.dir, "expected"), ignore_errors=True)
                if path.endswith(".desktop"):
                    self.service_menu(path)
                else:
                    self.nemo_action(path)

    def service_menu(self, path):
        entry = read(path)
        main = entry["Desktop Entry"]
        self.assertEqual(main["Type"], "Service")
        (action,) = main["Actions"].rstrip(";").split(";")
        command = entry["Desktop Action " + action]["Exec"]
        game = shlex.split(command)[2]
        self.assertEqual(main["MimeType"], GAMES[game][1] + ";")
        self.assertEqual(entry["Desktop Action " + action]["Name"], f"Convert to {game.capitalize()} item")
        # desktop-file-validate knows only the standard types: the keys are checked in the Application
        # entry a service menu is written like.
        standard = os.path.join(self.dir, "standard.desktop")
        with open(path, encoding="utf-8") as f, open(standard, "w", encoding="utf-8") as out:
            out.write(f.read().replace("Type=Service\n", "Type=Application\nExec=relicwright\n"))
        validated = subprocess.run(["desktop-file-validate", standard], capture_output=True, text=True)
        self.assertEqual(validated.returncode, 0, validated.stdout + validated.stderr)
        # KIO gives each selected file as an argument of its own for %F.
        self.check(path, game, lambda paths: [p for a in shlex.split(command) for p in (paths if a == "%F" else [a])])

    def nemo_action(self, path):
        action = read(path)["Nemo Action"]
        game = shlex.split(action["Exec"])[2]
        extension, mime = GAMES[game]
        self.assertEqual((action["Name"], action["Selection"], action["Extensions"], action["Mimetypes"]),
                         (f"Convert to {game.capitalize()} item", "notnone", extension + ";", mime + ";"))
        self.assertNotIn("Quote", action)
        # Nemo puts the selection for %F into the command line, each path escaped for the shell,
        # and splits the line as a shell would.
        self.check(path, game, lambda paths: shlex.split(action["Exec"].replace("%F", " ".join(map(shlex.quote, paths)))))


if __name__ == "__main__":
    unittest.main(verbosity=2)
