"""The "Convert to ... item" entries of the file managers that load Python extensions (GNOME Files,
Caja). Each file manager's own extension hands its menu item class and the selection here."""
import os

from gi.repository import GLib

# Source extension, target game, and the entry's texts, as the other file managers show them.
ENTRIES = {".itm": ("hellfire", "Convert to Hellfire item", "Converts the selected Diablo item files to Hellfire item files beside them"),
           ".hif": ("diablo", "Convert to Diablo item", "Converts the selected Hellfire item files to Diablo item files beside them")}


def file_items(menu_item, files):
    """The entry for a selection of local item files of one game, or none."""
    paths = [None if f.is_directory() else f.get_location().get_path() for f in files]
    extensions = {os.path.splitext(p)[1].lower() if p else None for p in paths}
    if len(extensions) != 1 or next(iter(extensions)) not in ENTRIES:
        return []
    game, label, tip = ENTRIES[extensions.pop()]
    item = menu_item(name="Relicwright::convert-to-" + game, label=label, tip=tip, icon="application-x-" + game + "-item")
    # One run for the whole selection; GLib reaps it, so the file manager goes on at once.
    item.connect("activate", lambda _item: GLib.spawn_async(["relicwright", "--convert-to", game, *paths],
                                                            flags=GLib.SpawnFlags.SEARCH_PATH))
    return [item]
