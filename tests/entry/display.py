"""A virtual X server of a test's own, for the tests here to import."""
import os, subprocess, unittest


def start_display():
    """The X server chooses a free display itself, so two starting at once never take the same."""
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
                              pass_fds=(told,), stderr=subprocess.DEVNULL)
    os.close(told)
    os.environ["DISPLAY"] = ":" + os.read(ready, 16).decode().strip()
    unittest.addModuleCleanup(lambda: (server.kill(), server.wait()))
