"""The Debian package as a user gets it: built by cpack, unpacked into a scratch root, checked, and
started there by two users (uid 65534 without network as root) whose program folder is read-only."""
import glob, os, shutil, signal, sqlite3, subprocess, sys, tempfile, unittest  # noqa: E401

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import Display, wait_until  # noqa: E402

BUILD = os.path.abspath(sys.argv.pop(1))
ENTRY, METAINFO = "usr/share/applications/quellon.desktop", "usr/share/metainfo/org.quellon.quellon.metainfo.xml"
FILES = [ENTRY, METAINFO, "usr/bin/quellon", "usr/share/icons/hicolor/scalable/apps/quellon.svg"] + [
    "usr/lib/quellon/" + name for name in ("quellon", "lib/libquellon_webkit.so", "dat/data.dat", "per-user-data")]


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.strip()


def visits(path):
    try:
        with sqlite3.connect("file:%s?mode=ro" % path, uri=True, timeout=1) as db:
            return db.execute("SELECT COUNT(*) FROM qb_history").fetchone()[0]
    except sqlite3.Error:
        return None


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="quellon-package-")
        run("cpack", "-G", "DEB", "--config", BUILD + "/CPackConfig.cmake", "-B", cls.work + "/out")
        (cls.deb,) = glob.glob(cls.work + "/out/quellon_*_amd64.deb")
        cls.root = cls.work + "/root/"
        run("dpkg", "-x", cls.deb, cls.root)
        run("chmod", "-R", "a-w", cls.root + "usr/lib/quellon")  # as installed: only root writes it
        run("chmod", "755", cls.work, cls.root)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["chmod", "-R", "u+w", cls.work])
        shutil.rmtree(cls.work)

    def test_fields_files_entry_and_metainfo(self):
        version = run("dpkg-deb", "-f", self.deb, "Version")
        self.assertEqual(os.path.basename(self.deb), "quellon_%s_amd64.deb" % version)
        self.assertIn("libqt5webenginewidgets5", run("dpkg-deb", "-f", self.deb, "Depends"))  # by dpkg-shlibdeps
        self.assertEqual(run("dpkg-deb", "-f", self.deb, "Recommends").split(", ")[:3],
                         ["xdg-utils", "fcitx5-frontend-qt5 | ibus", "fonts-noto-cjk"])
        for path in FILES:
            self.assertTrue(os.path.lexists(self.root + path), path)
        self.assertEqual(os.readlink(self.root + "usr/bin/quellon"), "../lib/quellon/quellon")
        self.assertNotIn("/usr/lib/quellon/cache", run("dpkg-deb", "-c", self.deb))  # nobody's cache
        with open(self.root + ENTRY, encoding="utf-8") as file:
            entry = file.read().splitlines()
        self.assertIn("Exec=/usr/bin/quellon %u", entry)  # unquoted: xdg-settings does not undo quotes
        self.assertIn("MimeType=text/html;application/xhtml+xml;x-scheme-handler/http;x-scheme-handler/https;", entry)
        run("appstreamcli", "validate", "--no-net", self.root + METAINFO)

    def start_browser(self, home):
        os.makedirs(home)
        display = Display()
        self.addCleanup(display.stop)
        command = ["env", "-i", "HOME=" + home, "XDG_DATA_HOME=%s/data" % home, "XDG_CACHE_HOME=%s/cache" % home,
                   "PATH=/usr/bin:/bin", "LANG=C.UTF-8", "DISPLAY=" + display.name, self.root + "usr/bin/quellon"]
        if os.geteuid() == 0:
            os.chown(home, 65534, 65534)
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
            if subprocess.run(["unshare", "-n", "true"], stderr=subprocess.DEVNULL).returncode == 0:
                command = ["unshare", "-n", "sh", "-c", 'ip link set lo up 2>/dev/null; exec "$@"', "sh"] + command
        with open(home + ".log", "w") as log:
            process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self.addCleanup(lambda: process.poll() is None and (os.killpg(process.pid, signal.SIGKILL), process.wait()))
        return process

    def test_each_user_gets_a_data_file_of_their_own(self):
        for user in ("first", "second"):
            home = "%s/home-%s" % (self.work, user)
            process = self.start_browser(home)
            data_file = home + "/data/quellon/dat/data.dat"
            # The first page's visit recorded in the user's own file: the browser opened it.
            wait_until(lambda: visits(data_file) or process.poll() is not None, user + "'s first visit", timeout=180)
            with open(home + ".log") as log:
                self.assertIsNone(process.poll(), log.read())
            self.assertEqual(os.stat(data_file).st_mode & 0o077, 0, "the user's file is private")
            self.assertTrue(os.path.isdir(home + "/cache/quellon/cache"))  # the engine's cache is the user's too
            os.killpg(process.pid, signal.SIGTERM)
            process.wait(60)


if __name__ == "__main__":
    unittest.main(verbosity=2)
