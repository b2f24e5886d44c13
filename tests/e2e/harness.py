"""End-to-end harness: the built program under its own X server, driven by real X input.

One scenario file per feature imports this module. Each test gets a fresh copy of the program
folder (program, lib/, res/, the data template as dat/data.dat) with HOME and the XDG folders
inside it, started with a free remote-debugging port. The harness sends keys and clicks through
XTest (xdotool) and judges the program from outside only: window captions and geometry, the
engine's page list (GET /json of the debugging endpoint), the data file, screenshots and the
process tree. Every wait polls a condition every 100 ms up to a generous deadline.

Environment (set by CTest): E2E_BUILD_DIR (the build folder, holding quellon), E2E_DATA_TEMPLATE
(the generated empty data file), E2E_TEST_SERVER (tests/support/test_server.py). E2E_ALL=1 also
runs the scenarios marked as known faults.
"""

import base64
import functools
import json
import os
import select
import shutil
import signal
import socket
import sqlite3
import subprocess
import tempfile
import time
import unittest
import urllib.request

POLL_SECONDS = 0.1
DEADLINE_SECONDS = float(os.environ.get("E2E_DEADLINE", "40"))
# Every helper program (xdotool, xclip, import ...) gets this long before the test fails.
COMMAND_SECONDS = 20
# How long the engine's debugging endpoint may stay silent, or the X focus elsewhere, before the
# test fails.
ANSWER_SECONDS = 10
SCREEN_WIDTH, SCREEN_HEIGHT = 1366, 900
CAPTION_SUFFIX = " - Quellon 1.0.0.0"

# ---- Where things are on screen: the one table of points and colours of the scenarios.
# The main window starts maximised and fills the screen. Its chrome is laid out from the left
# (address bar, favorites bar) and from the right edge (engine icon, search box, menus, tools
# row) and the status bar from the bottom: those points follow the screen's size.
W, H = SCREEN_WIDTH, SCREEN_HEIGHT
ADDRESS_BAR = (600, 43)
STAR = (W - 335, 43)                         # the favorites star at the address bar's end
ENGINE_ICON = (W - 314, 43)
ENGINE_ICON_COLOUR = (74, 144, 240)
SEARCH_BOX = (W - 141, 43)
PAGE_CENTRE = (W // 2, 500)
SUGGESTION_ROW = (200, 70, 650)              # under the address bar, covered by suggestions
FILE_MENU, FAVORITES_MENU, TOOLS_MENU, HELP_MENU = (W - 258, 15), (W - 224, 15), (W - 157, 15), (W - 128, 15)
OPTIONS_ITEM = (W - 134, 204)                # "选项" in the tools menu
CALCULATOR_BUTTON, TRANSLATOR_BUTTON, CAPTURE_BUTTON = (W - 199, 71), (W - 144, 71), (W - 34, 71)
DOWNLOAD_BUTTON = (W - 143, H - 13)          # "下载" in the status bar
STATUS_PERCENTAGE = (W - 56, H - 22, W - 4, H - 4)
FAVORITES_BAR = (64, 60, 900, 83)            # left, top, right, bottom of its buttons
FAVORITES_BAR_BACKGROUND = (251, 251, 251)
RESTORE_PANEL_COLOUR = (253, 233, 217)
TAB_LEFT, TAB_WIDTH, TAB_ROW_Y = 4, 178, 105  # the tab strip under the toolbars, tabs of fixed width
COMPAT_NOTICE = (8, 125)                     # the compatibility engine's strip, left end under the tabs
COMPAT_NOTICE_COLOUR = (255, 241, 204)
COMPAT_NOTICE_OFF = (W - 77, 140)            # "不再提示" at the strip's right end
# The screen capture: the selection the scenarios drag, and the tool panel placed under its left end.
CAPTURE_SELECTION = (300, 300, 500, 400)
CAPTURE_RECTANGLE_TOOL = (CAPTURE_SELECTION[0] + 16, CAPTURE_SELECTION[3] + 20)
CAPTURE_TEXT_TOOL = (CAPTURE_SELECTION[0] + 166, CAPTURE_SELECTION[3] + 21)
CAPTURE_BLUE = (CAPTURE_SELECTION[0] + 219, CAPTURE_SELECTION[3] + 63)  # in the colour grid
CAPTURE_TEXT_BOXES = [(CAPTURE_SELECTION[0] + 20, CAPTURE_SELECTION[1] + 20),
                      (CAPTURE_SELECTION[0] + 20, CAPTURE_SELECTION[1] + 72),
                      (CAPTURE_SELECTION[0] + 120, CAPTURE_SELECTION[1] + 72)]
CAPTURE_OUTSIDE = (900, 700)                 # on the frozen picture, away from the selection
FAVORITES_ICON_ROW = 71                      # the row through the favorites bar's icons
# Points inside the program's other windows, from their top-left corner (fixed-size windows).
FAVORITES_MANAGER = {"new": (24, 13), "down": (122, 13), "up": (167, 13), "delete": (221, 13)}
FAVORITES_FILE = {"export": (150, 39), "import": (150, 81)}
BANK_FIRST_LINK = (80, 57)                   # 工商银行
COURIER_TABS = [(38, 14), (116, 14), (193, 14)]  # 快递查询, 物流查询, 国际货运
COURIER_FIRST_LINK = (50, 87)
MARKET_SUBMIT, MARKET_FIRST_DOWNLOAD = (121, 17), (935, 106)  # 提供软件; left of the caption "下载"
MARKET_CLOSE, MARKET_BAR = (1031, 18), (493, 18)
SITE_BUTTON_BLUE = (31, 111, 229)
SITE_PAGE_GREY = (244, 246, 250)
SITE_PAGE_CORNER = (300, 340)                # empty page near the bottom right of every tool window
OPTIONS = {"open exit pages": (188, 176), "open home": (188, 208), "home edit": (700, 209),
           "enable boss key": (188, 345), "boss key edit": (281, 377), "download section": (76, 166),
           "save path": (188, 232), "download path edit": (703, 264), "change folder": (W - 62, 264),
           "engine section": (76, 228), "first engine site": (250, 215), "to chromium": (243, 841),
           "tab sleep": (290, 540)}
TRANSLATOR_RESULT_BOX = (250, 280)
HISTORY_MANAGER_POINTS = {"clear": (92, 13), "later": (204, 13), "earlier": (249, 13), "first row": (422, 59),
                          "time column edge": (157, 38)}  # between the time and title headers
CLEANER = {"cookies": (31, 143), "start": (284, 229)}
# Colours pages under test paint themselves with.
PAGE_BLUE = (40, 120, 200)
DOWNLOAD_BAR_FILL = (0, 128, 0)

SAVE_DIALOG = "新建下载任务"
# An element that covers the whole page: a click anywhere in the page hits it.
FILL = "position:fixed;left:0;top:0;width:100%;height:100%;display:block"


def fill_style(selector):
    """A page's style making the elements of selector cover the whole page."""
    return "<style>%s{%s}</style>" % (selector, FILL)


def tab_width(count=1):
    """Tabs keep their width until count of them no longer fit; then they share the strip."""
    room = W - 90
    return TAB_WIDTH if count * TAB_WIDTH < room else room // count


def tab_centre(index, count=1):
    """The centre of the tab at index in the tab strip holding count tabs."""
    width = tab_width(count)
    return (TAB_LEFT + index * width + width // 2, TAB_ROW_Y)


def tab_close_button(index, count=1):
    """The middle of a tab's close button (12 pixels, 19 from the tab's right end)."""
    width = tab_width(count)
    return (TAB_LEFT + index * width + width - 13, TAB_ROW_Y)


def known_fault(name):
    """Skips the test unless E2E_ALL=1: it expects the right behaviour of a fault not fixed yet.
    Unmark it (delete the decorator) once the fault is fixed and the test passes."""

    def decorate(test):
        if os.environ.get("E2E_ALL") == "1":
            return test
        return unittest.skip("known fault " + name)(test)

    return decorate


# A blue page taller than the window whose title follows its scroll position ("y<scrollY>").
SCROLL_PAGE_HEAD = ("<style>body{height:20000px;margin:0;background:rgb(%d,%d,%d)}</style>"
                    "<script>addEventListener('scroll', function () {"
                    " document.title = 'y' + Math.round(scrollY); });</script>" % PAGE_BLUE)


def scroll_position(title):
    """The scroll position a SCROLL_PAGE_HEAD page shows in its title; any other title fails."""
    if not (title and title.startswith("y") and title[1:].isdigit()):
        raise AssertionError("not a scroll position: %r" % (title,))
    return int(title[1:])


def fetch(url, timeout=5):
    """The body of a GET from a local server, with a time limit."""
    with urllib.request.urlopen(url, timeout=timeout) as answer:
        return answer.read()


def wait_until(condition, what, timeout=DEADLINE_SECONDS):
    """Polls condition() until it returns something true and returns that; fails after timeout."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(POLL_SECONDS)


def stays(condition, seconds):
    """True when condition() holds at every poll for the given time (for 'nothing else happens')."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not condition():
            return False
        time.sleep(POLL_SECONDS)
    return True


def run(command, **options):
    """Runs a helper program with a time limit: one that hangs fails the test instead of holding
    it until CTest ends it. Output is captured (bytes unless text=True)."""
    options.setdefault("capture_output", True)
    try:
        return subprocess.run(command, timeout=options.pop("timeout", COMMAND_SECONDS), **options)
    except subprocess.TimeoutExpired:
        raise AssertionError("%s did not finish within its time" % command[0])


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def listening_ports_of(pids):
    """TCP ports the given processes listen on (from /proc/net/tcp{,6} and their descriptors)."""
    listening = {}
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        with open(table) as lines:
            for line in list(lines)[1:]:
                fields = line.split()
                if fields[3] == "0A":
                    address, port = fields[1].rsplit(":", 1)
                    listening[fields[9]] = (address, int(port, 16))
    found = []
    for pid in pids:
        try:
            for fd in os.listdir("/proc/%d/fd" % pid):
                target = os.readlink("/proc/%d/fd/%s" % (pid, fd))
                if target.startswith("socket:[") and target[8:-1] in listening:
                    found.append(listening[target[8:-1]])
        except OSError:
            pass
    return found


class Display:
    """An Xvfb server of its own (1366 x 900, 24 bits). Display numbers from 300 up, away from the
    ones xvfb-run -a (99 up) and desktops (0 up) take; a number another server holds is skipped.
    It never resets: a reset after the program's last connection closes refused the next start."""

    def __init__(self):
        for number in range(300 + os.getpid() % 200, 600):
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            self.name = ":%d" % number
            self.process = subprocess.Popen(
                ["Xvfb", self.name, "-screen", "0", "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT),
                 "-nolisten", "tcp", "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_until(lambda: self._answers() or self.process.poll() is not None, "Xvfb " + self.name)
            # Another Xvfb started at the same moment may hold the number: the lock file says whose.
            if self.process.poll() is None and self._lock_holder() == self.process.pid:
                return
            self.process.terminate()
            self.process.wait(10)
        raise RuntimeError("no display number free for Xvfb")

    def _lock_holder(self):
        try:
            with open("/tmp/.X%s-lock" % self.name[1:]) as lock:
                return int(lock.read().strip())
        except (OSError, ValueError):
            return None

    def alive(self):
        return self.process.poll() is None and self._answers()

    def _answers(self):
        try:
            return subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=self.name),
                                  capture_output=True, timeout=COMMAND_SECONDS).returncode == 0
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


class PageServer:
    """tests/support/test_server.py serving a temporary folder of pages on 127.0.0.1."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="quellon-e2e-pages-")
        self.process = subprocess.Popen(
            ["python3", os.environ["E2E_TEST_SERVER"], "--root", self.root, "--port", "0"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        ready, _, _ = select.select([self.process.stdout], [], [], COMMAND_SECONDS)
        line = self.process.stdout.readline().split() if ready else []
        if len(line) != 2 or line[0] != "PORT":
            raise RuntimeError("test server did not start")
        self.port = int(line[1])

    def add_page(self, name, title, body="", head=""):
        """Writes a UTF-8 page (folders in its name made) and returns its address."""
        path = os.path.join(self.root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as page:
            page.write('<!DOCTYPE html><html><head><meta charset="utf-8"><title>%s</title>%s</head>'
                       "<body>%s</body></html>" % (title, head, body))
        return self.url(name)

    def url(self, name):
        return "http://127.0.0.1:%d/%s" % (self.port, name)

    def set_answer(self, path, body=b"", status=200, **fields):
        """Scripts the server's answer for path (see /_answer in test_server.py)."""
        reply = dict(fields, path=path, status=status, body=base64.b64encode(body).decode())
        request = urllib.request.Request(self.url("_answer"), data=json.dumps(reply).encode(), method="POST")
        with urllib.request.urlopen(request, timeout=5) as answer:
            answer.read()

    def received(self, prefix=""):
        """The requests the server received whose target starts with prefix, in order, each with
        method, target, head and its body as bytes."""
        requests = json.loads(fetch(self.url("_requests")))
        for request in requests:
            request["body"] = base64.b64decode(request["body"])
        return [request for request in requests if request["target"].startswith(prefix)]

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        shutil.rmtree(self.root, ignore_errors=True)


class Screenshot:
    """The whole screen as raw RGB, read through ImageMagick's import."""

    def __init__(self, display):
        self.data = run(["import", "-display", display, "-window", "root", "-depth", "8", "rgb:-"],
                        check=True).stdout
        self.width, self.height = SCREEN_WIDTH, SCREEN_HEIGHT

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.data[offset:offset + 3])

    def rows_of_colour(self, colour, x):
        """The y values whose pixel at column x has exactly this colour."""
        return [y for y in range(self.height) if self.pixel(x, y) == colour]

    def region(self, left, top, right, bottom):
        """The pixels of a rectangle, row by row, for comparing two screenshots."""
        return [self.data[(y * self.width + left) * 3:(y * self.width + right) * 3]
                for y in range(top, bottom)]


class Program:
    """The built program in a temporary copy of its folder, on the given display."""

    def __init__(self, display, folder=None):
        self.display = display
        self.build = os.environ["E2E_BUILD_DIR"]
        self.owns_folder = folder is None
        self.folder = folder or self._make_folder()
        self.process = None
        self.debug_port = None
        self.log_path = os.path.join(self.folder, "program.log")

    def _make_folder(self):
        folder = tempfile.mkdtemp(prefix="quellon-e2e-")
        shutil.copy2(os.path.join(self.build, "quellon"), folder)
        for sub in ("lib", "res"):
            shutil.copytree(os.path.join(self.build, sub), os.path.join(folder, sub),
                            ignore=shutil.ignore_patterns("CMakeFiles", "*.cmake"))
        os.makedirs(os.path.join(folder, "dat"))
        shutil.copy(os.environ["E2E_DATA_TEMPLATE"], os.path.join(folder, "dat", "data.dat"))
        os.chmod(os.path.join(folder, "dat", "data.dat"), 0o600)
        return folder

    # ---- life

    def start(self, *arguments, debug=True):
        """Starts the program; with debug the engine's page list is reachable (pages())."""
        home = os.path.join(self.folder, "home")
        env = dict(os.environ, DISPLAY=self.display, HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local/share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   XDG_RUNTIME_DIR=os.path.join(home, "run"))
        env.pop("QTWEBENGINE_REMOTE_DEBUGGING", None)
        env.pop("WAYLAND_DISPLAY", None)
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        command = [os.path.join(self.folder, "quellon")]
        self.debug_port = free_port() if debug else None
        if debug:
            command.append("--remote-debugging-port=%d" % self.debug_port)
        command.extend(arguments)
        self.log = open(self.log_path, "ab")
        self.process = subprocess.Popen(command, cwd=self.folder, env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        self.window = wait_until(self.main_window, "the main window")
        self.focus()
        return self

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=DEADLINE_SECONDS):
        """The exit code once the program has ended."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end")

    def kill(self):
        """SIGKILL to the program and its engine processes (its own session)."""
        if self.running():
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait(10)

    def close(self):
        """Ends the program (SIGTERM, then SIGKILL) and removes the folder it owns."""
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(15)
            except subprocess.TimeoutExpired:
                pass
        if self.process is not None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(10)
            self.log.close()

    def remove_folder(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def log_tail(self, size=3000):
        try:
            with open(self.log_path, "rb") as log:
                return log.read()[-size:].decode("utf-8", "replace")
        except OSError:
            return ""

    # ---- X windows and input

    def xdotool(self, *arguments, check=True):
        result = run(["xdotool"] + [str(a) for a in arguments], env=self.x_env(), text=True)
        if check and result.returncode != 0:
            raise AssertionError("xdotool %s failed: %s" % (arguments, result.stderr))
        return result.stdout

    def x_env(self):
        return dict(os.environ, DISPLAY=self.display)

    def windows(self):
        """The program's viewable top-level windows as dictionaries: id, name, x, y, width, height."""
        found = []
        if not self.running():
            return found
        for line in self.xdotool("search", "--onlyvisible", "--pid", self.process.pid,
                                 check=False).split():
            info = {"id": int(line), "name": self.xdotool("getwindowname", line, check=False).strip()}
            for entry in self.xdotool("getwindowgeometry", "--shell", line, check=False).split():
                key, _, value = entry.partition("=")
                if key in ("X", "Y", "WIDTH", "HEIGHT"):
                    info[key.lower()] = int(value)
            if "width" in info:
                found.append(info)
        return found

    def main_window(self):
        """The main window: the viewable window whose caption ends in the product's name."""
        for window in self.windows():
            if window["name"].endswith(CAPTION_SUFFIX):
                return window
        return None

    def caption(self):
        window = self.main_window()
        return window["name"] if window else None

    def dialogs(self):
        """Viewable windows of the program other than the main window (message boxes, popups)."""
        main = self.main_window()
        return [w for w in self.windows() if not main or w["id"] != main["id"]]

    def window_named(self, name):
        """The program's viewable window (other than the main window) with this caption, or None."""
        return next((w for w in self.dialogs() if w["name"] == name), None)

    def wait_window(self, name, timeout=DEADLINE_SECONDS):
        return wait_until(lambda: self.window_named(name), "the window " + name, timeout)

    def click_in(self, window, point):
        """A click at point, counted from the window's top-left corner."""
        self.click(window["x"] + point[0], window["y"] + point[1])

    def focus(self, window=None):
        """Gives the keyboard focus to the window (the main window by default): there is no window
        manager, so the harness sets the X input focus itself, and fails the test when the focus
        did not land there (keys would go elsewhere and checks that nothing happened would pass)."""
        window = window or self.main_window() or self.window
        self.xdotool("windowfocus", "--sync", window["id"])
        wait_until(lambda: self.focused_window() == window["id"],
                   "the keyboard focus on window %s (now on %s)" % (window["name"], self.focused_window()),
                   ANSWER_SECONDS)

    def focused_window(self):
        return int(self.xdotool("getwindowfocus", check=False).strip() or 0)

    def key(self, *keys):
        """Presses and releases each key chord in turn, e.g. key("ctrl+t"), key("alt+d", "Return").
        The modifiers of a chord go down first and up last, so the main key's release carries them
        (xdotool's own chords release the modifiers first)."""
        for chord in keys:
            *modifiers, main = chord.split("+")
            if modifiers:
                self.xdotool("keydown", *modifiers)
            self.xdotool("key", main)
            if modifiers:
                self.xdotool("keyup", *reversed(modifiers))

    def type(self, text):
        self.xdotool("type", "--delay", 20, text)

    def click(self, x, y):
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", 1)

    def right_click(self, x, y):
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", 3)

    def drag(self, start, end, steps=4):
        """Presses the left button at start, moves to end in steps (past any drag threshold) and
        releases it there."""
        x, y = start
        self.xdotool("mousemove", "--sync", x, y, "mousedown", 1)
        for step in range(1, steps + 1):
            self.xdotool("mousemove", "--sync", x + (end[0] - x) * step // steps,
                         y + (end[1] - y) * step // steps)
        self.xdotool("mouseup", 1)

    def choose_menu_item(self, position):
        """Chooses the position-th enabled item (from 1) of the menu just opened: Down walks the
        enabled items only, Enter chooses."""
        self.key(*["Down"] * position + ["Return"])

    def choose_file(self, dialog, path):
        """Answers Qt's own file dialog (there is no desktop's): the full path typed over its file
        name field, which has the keyboard when the dialog opens, and Enter."""
        self.focus(dialog)
        self.key("ctrl+a")
        self.type(path)
        self.key("Return")

    def clipboard(self):
        """The text of the CLIPBOARD selection (what Ctrl+C copied), '' when there is none."""
        result = run(["xclip", "-o", "-selection", "clipboard"], env=self.x_env(), timeout=10)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else ""

    def set_clipboard(self, text):
        run(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"), env=self.x_env(),
            capture_output=False, timeout=10)

    def screenshot(self):
        return Screenshot(self.display)

    # ---- the engine's page list

    def pages(self):
        """The Chromium pages as (url, title) pairs, in the engine's order. An endpoint that does not
        answer within ANSWER_SECONDS fails the test: "not a Chromium page" must be seen, not
        assumed from silence."""
        if not self.debug_port:
            raise AssertionError("the program was started without its debugging endpoint")
        end = time.monotonic() + ANSWER_SECONDS
        while True:
            try:
                targets = json.loads(fetch("http://127.0.0.1:%d/json" % self.debug_port).decode("utf-8"))
                return [(t["url"], t["title"]) for t in targets if t.get("type") == "page"]
            except (OSError, ValueError) as error:
                if time.monotonic() > end:
                    raise AssertionError("the debugging endpoint on port %d does not answer: %s"
                                         % (self.debug_port, error))
            time.sleep(POLL_SECONDS)

    def page_urls(self):
        return sorted(url for url, _ in self.pages())

    # ---- the data file

    def query(self, sql, parameters=()):
        """Rows of a query on the data file, text decoded from GB18030."""
        connection = sqlite3.connect(os.path.join(self.folder, "dat", "data.dat"), timeout=10)
        try:
            connection.text_factory = bytes
            rows = connection.execute(sql, parameters).fetchall()
        finally:
            connection.close()
        return [tuple(v.decode("gb18030") if isinstance(v, bytes) else v for v in row) for row in rows]

    def write(self, sql, parameters):
        """One change to the data file before start."""
        connection = sqlite3.connect(os.path.join(self.folder, "dat", "data.dat"))
        try:
            connection.execute(sql, parameters)
            connection.commit()
        finally:
            connection.close()

    def set_config(self, key, value):
        """Writes a setting before start (the data file stores text as GB18030)."""
        self.write("INSERT OR REPLACE INTO qb_config (cfg_key, cfg_value) VALUES (?, ?)",
                   (key, str(value).encode("gb18030")))

    def add_visit(self, url, title, when):
        """A visit of the history at the given time (seconds since the epoch) before start."""
        self.write("INSERT INTO qb_history (site_name, site_url, create_time, isclose) VALUES (?, ?, ?, 0)",
                   (title.encode("gb18030"), url, int(when)))

    def remember_compatibility_engine(self, host):
        """Remembers host ("name:port") for the compatibility engine before start, as the engine
        icon leaves it in the data file."""
        self.write("INSERT INTO qb_domain_kernel (domain, kernel) VALUES (?, 1)", (host,))

    # ---- processes

    def process_tree(self):
        """The program's pid and the pids of every process below it."""
        children = {}
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open("/proc/%s/stat" % entry) as stat:
                        parent = int(stat.read().rsplit(")", 1)[1].split()[1])
                    children.setdefault(parent, []).append(int(entry))
                except (OSError, IndexError, ValueError):
                    pass
        tree, todo = [], [self.process.pid]
        while todo:
            pid = todo.pop()
            tree.append(pid)
            todo.extend(children.get(pid, []))
        return tree

    def rss_kib(self):
        """Resident memory of the program and its engine processes together, in KiB."""
        total = 0
        for pid in self.process_tree():
            try:
                with open("/proc/%d/status" % pid) as status:
                    for line in status:
                        if line.startswith("VmRSS:"):
                            total += int(line.split()[1])
            except OSError:
                pass
        return total


class BrowserTest(unittest.TestCase):
    """Base of the scenarios: one display and one page server per scenario file, a fresh program
    folder per test. self.program is started by start(); its folder goes when the test ends."""

    @classmethod
    def setUpClass(cls):
        cls.display = Display()
        cls.server = PageServer()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.display.stop()

    def setUp(self):
        # A display that went away (ended from outside) is replaced rather than failing every test.
        if not self.display.alive():
            type(self).display = Display()
        self.program = Program(self.display.name)
        self.addCleanup(self._finish)

    def _finish(self):
        self.program.close()
        if self._failed():
            print("\n--- program log of %s ---\n%s" % (self.id(), self.program.log_tail()))
        self.program.remove_folder()

    def _failed(self):
        outcome = getattr(self, "_outcome", None)
        result = getattr(outcome, "result", None)
        errors = getattr(result, "errors", []) + getattr(result, "failures", [])
        return any(test is self for test, _ in errors)

    def start(self, *arguments, **options):
        return self.program.start(*arguments, **options)

    def restart(self, *arguments, kill=False, **options):
        """Ends the program (SIGTERM, or SIGKILL with kill) and starts it again on the same folder."""
        if kill:
            self.program.kill()
        else:
            self.program.process.terminate()
            self.assertEqual(self.program.wait_exit(), 0)
        self.program.close()
        self.program = Program(self.display.name, folder=self.program.folder)
        return self.program.start(*arguments, **options)

    # ---- common steps

    def open_address(self, address, keys="Return"):
        """Types the address into the address bar and presses Enter (or the given keys)."""
        self.focus_address_bar()
        self.program.type(address)
        self.program.key(keys)

    def focus_address_bar(self):
        """A click into the address bar and Ctrl+A: its whole text selected, the keyboard in it."""
        self.program.click(*ADDRESS_BAR)
        self.program.key("ctrl+a")

    def address_text(self):
        """The address bar's text, copied with Ctrl+C to the clipboard."""
        marker = "(nothing copied %f)" % time.monotonic()
        self.program.set_clipboard(marker)
        self.focus_address_bar()
        self.program.key("ctrl+c")
        return wait_until(lambda: self.program.clipboard() != marker and self.program.clipboard(),
                          "the address bar's text on the clipboard", 10)

    def wait_address(self, address):
        wait_until(lambda: self.address_text() == address, "address bar showing " + address)

    def wait_caption(self, title, timeout=DEADLINE_SECONDS):
        wait_until(lambda: self.program.caption() == title + CAPTION_SUFFIX,
                   "caption %r (now %r)" % (title, self.program.caption()), timeout)

    def wait_pages(self, expected, timeout=DEADLINE_SECONDS):
        """Waits until the engine lists exactly these (url, title) pairs, in any order."""
        expected = sorted(expected)
        wait_until(lambda: sorted(self.program.pages()) == expected,
                   "pages %r (now %r)" % (expected, sorted(self.program.pages())), timeout)

    def wait_page_count(self, count, timeout=DEADLINE_SECONDS):
        wait_until(lambda: len(self.program.pages()) == count,
                   "%d pages (now %r)" % (count, self.program.pages()), timeout)

    def wait_page_title(self, url, title, timeout=DEADLINE_SECONDS):
        wait_until(lambda: (url, title) in self.program.pages(),
                   "page %s titled %r (now %r)" % (url, title, self.program.pages()), timeout)

    def page_title(self, url):
        """The title the engine lists for the page at url, None when it lists no such page."""
        return next((title for page, title in self.program.pages() if page == url), None)

    def click_page(self):
        """A click into the middle of the page area (pages under test put their control there)."""
        self.program.click(*PAGE_CENTRE)

    def suggestions_shown(self):
        """True when the address suggestion list covers the row under the address bar: the list is
        white, the favorites bar behind it is not."""
        shot = self.program.screenshot()
        row = [shot.pixel(x, SUGGESTION_ROW[1]) for x in range(SUGGESTION_ROW[0], SUGGESTION_ROW[2])]
        return row.count((255, 255, 255)) > len(row) // 2

    def chrome_shown(self):
        """True when the window's tool bar is on screen (the Chromium engine icon at its place)."""
        return self.program.screenshot().pixel(*ENGINE_ICON) == ENGINE_ICON_COLOUR

    def start_with_tabs(self, *titles):
        """Starts on the navigation page and opens one served page per title in a new tab
        (Ctrl+Enter), in order. Returns the expected page list: (url, title) of every tab."""
        self.start()
        self.wait_caption("网址导航")
        expected = [(self.navigation_page(), "网址导航")]
        for number, title in enumerate(titles):
            page = self.server.add_page("tab%d.html" % number, title)
            self.open_address(page, keys="ctrl+Return")
            expected.append((page, title))
        self.wait_pages(expected)
        return expected

    def visits(self):
        """The addresses of the history in the data file, sorted."""
        return sorted(url for (url,) in self.program.query("SELECT site_url FROM qb_history"))

    def navigation_page(self):
        return "file://" + os.path.join(self.program.folder, "res/site/123.html")


def main():
    unittest.main(verbosity=2)
