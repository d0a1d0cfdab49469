"""Caja's "Convert to ... item" (python-caja)."""
import os
import sys

from gi.repository import Caja, GObject

# The shared part lives in the package's own folder, beside this file manager's.
sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "relicwright", "python"))
import relicwright_menu  # noqa: E402


class RelicwrightConvertMenu(GObject.GObject, Caja.MenuProvider):
    def get_file_items(self, window, files):
        return relicwright_menu.file_items(Caja.MenuItem, files)
