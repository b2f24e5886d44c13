"""The Debian package as a user gets it: built by cpack from the build folder, unpacked into a
scratch root (dpkg -x), its files, control fields and metainfo checked, then the unpacked browser
started from /usr/bin/quellon as an ordinary user whose program folder is read-only; each user must
find a data file of their own under $XDG_DATA_HOME/quellon/, copied from the shipped one.

Usage: test_package.py <build folder>. As root the browser runs as user 65534 inside a network
namespace of its own (unshare -n); otherwise as the calling user, without network isolation.
"""

import glob
import hashlib
import os
import shutil
import signal
import sqlite3
import stat
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import wait_until  # noqa: E402

BUILD = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else os.environ.get("PACKAGE_BUILD_DIR", "")
UNPRIVILEGED = 65534
PROGRAM = "usr/lib/quellon"
EXPECTED_FILES = [
    "usr/bin/quellon",
    PROGRAM + "/quellon",
    PROGRAM + "/lib/libquellon_webkit.so",
    PROGRAM + "/lib/libquellon_sound.so",
    PROGRAM + "/dat/data.dat",
    PROGRAM + "/per-user-data",
    PROGRAM + "/res/finished.wav",
    PROGRAM + "/res/site/123.html",
    "usr/share/applications/quellon.desktop",
    "usr/share/icons/hicolor/256x256/apps/quellon.png",
    "usr/share/icons/hicolor/scalable/apps/quellon.svg",
    "usr/share/metainfo/org.quellon.quellon.metainfo.xml",
]


def run(command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


def digest(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def tables_and_rows(path):
    """The data file's table names and its number of history rows; None while it cannot be read."""
    try:
        with sqlite3.connect("file:%s?mode=ro" % path, uri=True, timeout=1) as db:
            tables = {row[0] for row in db.execute("SELECT name FROM sqlite_master WHERE type='table'")}
            return tables, db.execute("SELECT COUNT(*) FROM qb_history").fetchone()[0]
    except sqlite3.Error:
        return None


def visited(path):
    """tables_and_rows(path) once the file records a visit, else None."""
    found = tables_and_rows(path)
    return found if found and found[1] > 0 else None


def can_isolate_network():
    return os.geteuid() == 0 and subprocess.run(["unshare", "-n", "true"], capture_output=True).returncode == 0


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="quellon-package-")
        os.chmod(cls.work, 0o755)  # the unprivileged user walks through it to the program
        out = os.path.join(cls.work, "out")
        run(["cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", out])
        debs = glob.glob(os.path.join(out, "quellon_*_amd64.deb"))
        assert len(debs) == 1, debs
        cls.deb = debs[0]
        cls.root = os.path.join(cls.work, "root")
        run(["dpkg", "-x", cls.deb, cls.root])
        os.chmod(cls.root, 0o755)
        # The program folder of an installed package: nobody but root writes it.
        run(["chmod", "-R", "a-w", os.path.join(cls.root, PROGRAM)])

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["chmod", "-R", "u+w", cls.work])
        shutil.rmtree(cls.work, ignore_errors=True)

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).strip()

    def test_control_fields(self):
        version = self.field("Version")
        self.assertEqual(os.path.basename(self.deb), "quellon_%s_amd64.deb" % version)
        self.assertEqual(self.field("Package"), "quellon")
        # Computed by dpkg-shlibdeps from the programs' libraries.
        depends = self.field("Depends")
        for library in ("libqt5webenginewidgets5", "libqt5webkit5", "libsqlite3-0", "libcurl4"):
            self.assertIn(library, depends)
        recommends = [part.strip() for part in self.field("Recommends").split(",")]
        for wanted in ("xdg-utils", "fcitx5-frontend-qt5 | ibus", "fonts-noto-cjk"):
            self.assertIn(wanted, recommends)

    def test_files_entry_and_metainfo(self):
        for path in EXPECTED_FILES:
            self.assertTrue(os.path.lexists(os.path.join(self.root, path)), path)
        self.assertEqual(os.readlink(os.path.join(self.root, "usr/bin/quellon")), "../lib/quellon/quellon")
        self.assertTrue(os.stat(os.path.join(self.root, PROGRAM, "quellon")).st_mode & stat.S_IXOTH)
        # Nobody's data or cache is shipped, nor the desktop's files inside the program folder.
        listing = run(["dpkg-deb", "-c", self.deb])
        self.assertNotIn("/usr/lib/quellon/cache", listing)
        self.assertNotIn("/usr/lib/quellon/res/quellon.desktop", listing)
        with open(os.path.join(self.root, "usr/share/applications/quellon.desktop"), encoding="utf-8") as file:
            entry = file.read().splitlines()
        # xdg-settings reads the program from Exec as written: no quotes.
        self.assertIn("Exec=/usr/bin/quellon %u", entry)
        mime = next(line for line in entry if line.startswith("MimeType="))[len("MimeType="):].split(";")
        for kind in ("text/html", "x-scheme-handler/http", "x-scheme-handler/https"):
            self.assertIn(kind, mime)
        metainfo = os.path.join(self.root, EXPECTED_FILES[-1])
        result = subprocess.run(["appstreamcli", "validate", "--no-net", metainfo], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def start_browser(self, home):
        """Starts the unpacked /usr/bin/quellon for a user whose home is home; answers the process."""
        os.makedirs(home)
        environment = [
            "HOME=" + home,
            "XDG_DATA_HOME=" + os.path.join(home, "data"),
            "XDG_CACHE_HOME=" + os.path.join(home, "cache"),
            "XDG_CONFIG_HOME=" + os.path.join(home, "config"),
            "PATH=/usr/bin:/bin",
            "LANG=C.UTF-8",
        ]
        command = ["env", "-i"] + environment + [
            "xvfb-run", "-a", "-s", "-screen 0 1366x900x24 -nolisten tcp",
            os.path.join(self.root, "usr/bin/quellon"),
        ]
        if os.geteuid() == 0:
            os.chown(home, UNPRIVILEGED, UNPRIVILEGED)
            command = ["setpriv", "--reuid=%d" % UNPRIVILEGED, "--regid=%d" % UNPRIVILEGED, "--clear-groups"] + command
            if can_isolate_network():
                command = ["unshare", "-n", "sh", "-c", 'ip link set lo up 2>/dev/null; exec "$@"', "sh"] + command
        log = open(os.path.join(self.work, os.path.basename(home) + ".log"), "w")
        self.addCleanup(log.close)
        process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self.addCleanup(self.stop, process)
        return process

    def stop(self, process):
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGTERM)
            try:
                process.wait(30)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()

    def test_each_user_gets_a_data_file_of_their_own(self):
        shipped = os.path.join(self.root, PROGRAM, "dat/data.dat")
        before = digest(shipped)
        files = []
        for user in ("first", "second"):
            home = os.path.join(self.work, "home-" + user)
            process = self.start_browser(home)
            data_file = os.path.join(home, "data/quellon/dat/data.dat")
            # The first page's visit is recorded in the user's own file: the browser opened it.
            tables, visits = wait_until(lambda: visited(data_file), user + "'s first visit in " + data_file,
                                        timeout=180)
            self.assertIsNone(process.poll(), "the browser is still running")
            self.assertTrue({"qb_config", "qb_fav", "qb_history", "qb_download"} <= tables)
            self.assertEqual(stat.S_IMODE(os.stat(data_file).st_mode) & 0o077, 0, "private to the user")
            self.assertTrue(os.path.isdir(os.path.join(home, "cache/quellon/cache")))
            self.stop(process)
            files.append((data_file, tables_and_rows(data_file)[1]))
        first_file, first_visits = files[0]
        self.assertNotEqual(first_file, files[1][0])
        self.assertEqual(tables_and_rows(first_file)[1], first_visits, "the second user's visits stay out")
        self.assertEqual(digest(shipped), before)
        self.assertEqual(sorted(os.listdir(os.path.join(self.root, PROGRAM, "dat"))), ["data.dat"])


if __name__ == "__main__":
    if not BUILD:
        sys.exit("usage: test_package.py <build folder>")
    unittest.main(verbosity=2)
