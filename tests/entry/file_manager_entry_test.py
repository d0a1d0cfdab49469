#!/usr/bin/python3
"""The "Convert to ... item" entries of the file managers, each read as its file manager reads it and run
with a selection of several files, as it runs them:
    file_manager_entry_test.py PROGRAM CLI SAMPLES_DIR ENTRY...
An ENTRY is a Dolphin service menu (.desktop), a Nemo action (.nemo_action), or a GNOME Files or Caja
extension (a .py file in the folder that file manager reads under a data folder such as /usr/share),
loaded by that file manager's own Python loader. Every file converts, so the run ends quietly without
a display; its outputs are those of `relicwright-cli convert`, from one run."""
import configparser, ctypes, glob, importlib, os, pathlib, shlex, shutil, subprocess, sys, tempfile, time, unittest
from unittest import mock

PROGRAM, CLI, SAMPLES = sys.argv.pop(1), sys.argv.pop(1), sys.argv.pop(1)
ENTRIES, sys.argv[1:] = sys.argv[1:], []
sys.dont_write_bytecode = True  # the extensions are loaded where they are laid out for the package
from display import start_display  # noqa: E402
# Target game: the source extension and type, and a selection with spaces and other scripts in names.
GAMES = {"hellfire": ("itm", "application/x-diablo-item", {"A Ring Of Mine.ITM": "ring.itm", "μαχαίρι.itm": "dagger.itm",
                                                             "短剣.itm": "butchers-cleaver.itm"}),
         "diablo": ("hif", "application/x-hellfire-item", {"amulet.hif": "amulet.hif", "great axe (2).hif": "great-axe.hif",
                                                            "χάρτης.hif": "map-of-stars.hif"})}
# The loaders read /usr/share and the user's folder: another data folder stands for the user's.
for data in {os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(p)))) for p in ENTRIES if p.endswith(".py")}:
    os.environ.update(XDG_DATA_HOME=data if data != "/usr/share" else "/nonexistent", XDG_DATA_DIRS="/nonexistent")
# The program held back until the entry returned, so an entry that waits for it waits in vain.
STAND_IN = """#!/bin/sh
echo $# >> "$0.runs"
i=0
while [ ! -e "$0.go" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
[ -e "$0.go" ] || {{ echo "waited for" >> "$0.done"; exit 3; }}
{program} "$@"
echo $? >> "$0.done"
"""


def load_extension(path):
    """The extension's menu provider as its file manager's loader registers it, the file manager's
    namespace, a file-info class, and the arguments before the selection."""
    import gi._gobject
    manager = os.path.basename(os.path.dirname(os.path.dirname(path))).removesuffix("-python")
    namespace, version = {"nautilus": ("Nautilus", "4.0"), "caja": ("Caja", "2.0")}[manager]
    gi.require_version(namespace, version)
    if manager == "caja":  # Caja hands its window over; its namespace starts GTK
        start_display()
    from gi.repository import Gio, GObject
    fm = importlib.import_module("gi.repository." + namespace)
    # The loader starts Python and finds the types itself; here Python runs already, so it is handed them.
    loader = ctypes.PyDLL(glob.glob(f"/usr/lib/*/{manager}/extensions-*/lib{manager}-python.so")[0])
    pointer = ctypes.pythonapi.PyCapsule_GetPointer
    pointer.restype, pointer.argtypes = ctypes.c_void_p, [ctypes.py_object, ctypes.c_char_p]
    given = {f"_Py{namespace}{name}_Type": id(getattr(fm, name)) for name in dir(fm)}
    given["_PyGObject_API"] = pointer(gi._gobject._PyGObject_API, b"gobject._PyGObject_API")
    before = ()
    if manager == "caja":
        from gi.repository import Gtk
        given["_PyGtkWidget_Type"], before = id(Gtk.Widget), (Gtk.Window(),)
    for symbol, value in given.items():
        if hasattr(loader, symbol):
            ctypes.c_void_p.in_dll(loader, symbol).value = value

    class Module(GObject.TypeModule):
        def do_load(self):
            return True
    load_extension.kept.append(Module())
    getattr(loader, manager + "_module_initialize")(ctypes.c_void_p(pointer(load_extension.kept[-1].__gpointer__, None)))
    listed, count = ctypes.POINTER(ctypes.c_size_t)(), ctypes.c_int()
    getattr(loader, manager + "_module_list_types")(ctypes.byref(listed), ctypes.byref(count))
    type_name = ctypes.CDLL("libgobject-2.0.so.0").g_type_name
    type_name.restype, type_name.argtypes = ctypes.c_char_p, [ctypes.c_size_t]
    extension = sys.modules[os.path.basename(path).removesuffix(".py")]
    assert os.path.samefile(extension.__file__, path), f"{extension.__file__} was loaded instead of {path}"
    types = [t for t in map(lambda i: type_name(listed[i]).decode(), range(count.value)) if t.split("+")[0] in vars(extension)]
    assert len(types) == 1, types

    class FileInfo(GObject.GObject, fm.FileInfo):  # a selected file, as the extensions ask about it
        def __init__(self, name):
            super().__init__()
            self.file = Gio.File.new_for_path(name)
        do_get_location = lambda self: self.file  # noqa: E731
        do_get_uri = lambda self: self.file.get_uri()  # noqa: E731
        do_get_name = lambda self: self.file.get_basename()  # noqa: E731
        do_is_directory = lambda self: os.path.isdir(self.file.get_path())  # noqa: E731
    # A file manager keeps its providers to the end; the loader's objects are not made to be freed.
    load_extension.kept.append(GObject.new(GObject.type_from_name(types[0])))
    return fm, load_extension.kept[-1], FileInfo, before


load_extension.kept = []


class FileManagerEntry(unittest.TestCase):
    def scratch(self):
        work = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, work)
        return work

    def run_entry(self, game, start):
        """Starts the entry on a selection as `start(paths, env)` does; compares the outputs of its one run
        with the command line's. A process `start` returns is checked too."""
        work = pathlib.Path(self.scratch())
        stand_in = work / "bin/relicwright"  # the entries name the program alone, as installed on PATH
        stand_in.parent.mkdir()
        stand_in.write_text(STAND_IN.format(program=shlex.quote(os.path.abspath(PROGRAM))))
        stand_in.chmod(0o755)
        selection = GAMES[game][2]
        for folder in ("selected", "expected"):
            (work / folder).mkdir()
            for name, sample in selection.items():
                shutil.copy(os.path.join(SAMPLES, sample), work / folder / name)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["PATH"] = str(stand_in.parent) + os.pathsep + env["PATH"]
        started = start([str(work / "selected" / n) for n in selection], env)
        pathlib.Path(f"{stand_in}.go").touch()
        if started:
            self.assertEqual((*started.communicate(timeout=60), started.returncode), ("", "", 0))
        done = pathlib.Path(f"{stand_in}.done")
        for _ in range(300):
            if done.exists():
                break
            time.sleep(0.1)
        runs = pathlib.Path(f"{stand_in}.runs").read_text()
        self.assertEqual((runs, done.read_text()), (f"{2 + len(selection)}\n", "0\n"))
        subprocess.run([os.path.abspath(CLI), "convert", "--to", game, *selection], cwd=work / "expected", check=True,
                       capture_output=True)
        outputs = lambda folder: {f.name: f.read_bytes() for f in (work / folder).iterdir()}
        self.assertEqual(len(outputs("expected")), 2 * len(selection))
        self.assertEqual(outputs("selected"), outputs("expected"))

    def test_entries(self):
        self.assertTrue(ENTRIES)
        for path in ENTRIES:
            with self.subTest(entry=path):
                if path.endswith(".py"):
                    self.python_extension(path)
                    continue
                entry = configparser.ConfigParser(interpolation=None)
                entry.optionxform = str
                entry.read(path, encoding="utf-8")
                (self.service_menu if path.endswith(".desktop") else self.nemo_action)(path, entry)

    @staticmethod
    def run_command(command):
        return lambda paths, env: subprocess.Popen(command(paths), env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def service_menu(self, path, entry):
        main = entry["Desktop Entry"]
        action = entry["Desktop Action " + main["Actions"].rstrip(";")]
        game = shlex.split(action["Exec"])[2]
        self.assertEqual((main["Type"], main["MimeType"], action["Name"]),
                         ("Service", GAMES[game][1] + ";", f"Convert to {game.capitalize()} item"))
        # desktop-file-validate knows only the standard types: the keys are checked as an Application entry.
        standard = pathlib.Path(self.scratch(), "standard.desktop")
        standard.write_text(pathlib.Path(path).read_text(encoding="utf-8").replace(
            "Type=Service\n", "Type=Application\nExec=relicwright\n"), encoding="utf-8")
        validated = subprocess.run(["desktop-file-validate", standard], capture_output=True, text=True)
        self.assertEqual(validated.returncode, 0, validated.stdout + validated.stderr)
        # KIO gives each selected file as an argument of its own for %F.
        self.run_entry(game, self.run_command(lambda paths: [p for a in shlex.split(action["Exec"]) for p in (paths if a == "%F" else [a])]))

    def nemo_action(self, path, entry):
        action = entry["Nemo Action"]
        game = shlex.split(action["Exec"])[2]
        extension, mime, _ = GAMES[game]
        self.assertEqual((action["Name"], action["Selection"], action["Extensions"], action["Mimetypes"]),
                         (f"Convert to {game.capitalize()} item", "notnone", extension + ";", mime + ";"))
        self.assertNotIn("Quote", action)
        # Nemo puts the %F selection into the line shell-escaped, and splits it as a shell would.
        self.run_entry(game, self.run_command(lambda paths: shlex.split(action["Exec"].replace("%F", " ".join(map(shlex.quote, paths))))))

    def python_extension(self, path):
        fm, provider, FileInfo, before = load_extension(path)
        work = pathlib.Path(self.scratch())
        for name in ("ring.itm", "amulet.HIF", "notes.txt"):
            shutil.copy(os.path.join(SAMPLES, "ring.itm"), work / name)
        (work / "folder.itm").mkdir()

        def menu(paths):
            return fm.MenuProvider.get_file_items(provider, *before, [FileInfo(str(work / p)) for p in paths])
        # Only a selection of item files of one game gets an entry.
        for selection in (["ring.itm", "amulet.HIF"], ["notes.txt"], ["ring.itm", "notes.txt"], ["folder.itm"], ["ring.itm", "folder.itm"]):
            self.assertEqual(menu(selection), [], selection)

        for game in GAMES:
            def start(paths, env, game=game):
                items = menu(paths)
                self.assertEqual([i.props.label for i in items], [f"Convert to {game.capitalize()} item"])
                # The file manager's own environment is what a command from it gets.
                with mock.patch.dict(os.environ, env, clear=True):
                    items[0].activate()
            self.run_entry(game, start)

if __name__ == "__main__":
    unittest.main(verbosity=2)
