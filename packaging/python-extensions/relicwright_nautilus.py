"""GNOME Files' "Convert to ... item" (nautilus-python, Nautilus 4.0 API)."""
import os
import sys

from gi.repository import GObject, Nautilus

# The shared part lives in the package's own folder, beside this file manager's.
sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "relicwright", "python"))
import relicwright_menu  # noqa: E402


class RelicwrightConvertMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        return relicwright_menu.file_items(Nautilus.MenuItem, files)
