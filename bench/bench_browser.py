"""The real program against Falkon (Debian's QtWebEngine browser) in the same run; bench_browser.sh
starts the X server and calls this once per part. Pages come from nginx on 127.0.0.1; "sites" are
host names under .localhost (the engine resolves them to the loopback address itself), each on a
port of its own, so every site needs a renderer of its own.

Parts:
  start-and-memory  start to first page loaded (median of runs), PSS of all processes with 1 tab
                    (median of the repeats) and 10 tabs of one page, the program per site and per tab
  sessions          restore-30: both browsers bring back the same 30 sites after being killed; the
                    time from launch until the window answers Ctrl+T (the new tab's page appears)
                    and PSS one minute later. idle-10: 10 sites open, the browser left alone past
                    the program's tab sleep limit (QUELLON_TAB_SLEEP_SECONDS), then PSS.
Every wait is bounded; the exit status is 1 when something could not be measured or a goal was
missed (lines "FAILED:" and "MISSED:").
Usage: bench_browser.py build work runs repeats part
"""
import json, math, os, shutil, signal, socket, sqlite3, statistics, subprocess, sys, time, urllib.request

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from test_restore import restore_yes_button  # the offer's button, found as the scenario finds it

build, work, runs, repeats, part = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
TITLE = "Bench page"
SITE_COUNT = 30
IDLE_TABS = 10
# The program's tab sleep limit for idle-10, and how long both browsers are then left alone.
SLEEP_SECONDS = int(os.environ.get("BENCH_TAB_SLEEP_SECONDS", "15"))
IDLE_WAIT_SECONDS = int(os.environ.get("BENCH_IDLE_WAIT_SECONDS", str(max(75, 3 * SLEEP_SECONDS))))
SETTLE_SECONDS = 60
GOALS = {"restore-30 ready": 0.5, "restore-30 PSS": 0.35, "idle-10 PSS": 0.5, "1-tab PSS": 0.9}
failures, misses = [], []


def write_page(name, title, paragraph):
    # A page of ordinary weight: styled text, a table and a little script.
    rows = "".join("<tr><td>%d</td><td>行 %d 的内容</td><td>%s</td></tr>" % (i, i, "x" * (i % 40)) for i in range(300))
    with open(os.path.join(site, name), "w", encoding="utf-8") as page:
        page.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title><style>"
                   "body{font-family:sans-serif;margin:24px} td{border-bottom:1px solid #ddd;padding:2px 8px}"
                   "</style></head><body><h1>%s</h1><p>%s</p><table>%s</table>"
                   "<script>document.title='%s';</script></body></html>"
                   % (title, title, paragraph * 200, rows, title))


site = os.path.join(work, "site")
os.makedirs(site)
write_page("page.html", TITLE, "中文段落。")
for number in range(1, SITE_COUNT + 1):
    write_page("site%d.html" % number, "Site %d" % number, "第 %d 个站点的段落。" % number)
# The program's navigation page (Ctrl+T) comes from here too: nothing leaves the machine.
with open(os.path.join(site, "123.html"), "w") as page:
    page.write("<!DOCTYPE html><html><head><title>Navigation</title></head><body>Navigation</body></html>")


def free_ports(count):
    probes = [socket.socket() for _ in range(count)]
    for probe in probes:
        probe.bind(("127.0.0.1", 0))
    ports = [probe.getsockname()[1] for probe in probes]
    for probe in probes:
        probe.close()
    return ports


def start_nginx(ports):
    folder = os.path.join(work, "nginx")
    os.makedirs(folder)
    temp = " ".join("%s_temp_path %s/%s;" % (kind, folder, kind) for kind in
                    ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    listen = " ".join("listen 127.0.0.1:%d;" % port for port in ports)
    with open(os.path.join(folder, "nginx.conf"), "w") as config:
        config.write("daemon off;\n%sworker_processes 1;\npid %s/nginx.pid;\nerror_log %s/error.log;\n"
                     "events { worker_connections 512; }\n"
                     "http { access_log off; %s types { text/html html; }"
                     " server { %s root %s; } }\n"
                     % ("user root;\n" if os.geteuid() == 0 else "", folder, folder, temp, listen, site))
    process = subprocess.Popen([shutil.which("nginx") or "/usr/sbin/nginx", "-p", folder, "-c",
                                os.path.join(folder, "nginx.conf")], stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", ports[-1]), timeout=0.1).close()
            return process
        except OSError:
            time.sleep(0.05)
    process.kill()
    sys.exit("nginx did not start")


PORTS = free_ports(SITE_COUNT + 1)
server = start_nginx(PORTS)
url = "http://127.0.0.1:%d/page.html" % PORTS[0]
SITE_ROOT = "http://127.0.0.1:%d/" % PORTS[0]
SITES = [("http://s%d.localhost:%d/site%d.html" % (n, PORTS[n], n), "Site %d" % n) for n in range(1, SITE_COUNT + 1)]


def run(command, **options):
    """A helper program (xdotool, import) with a time limit; its output as text."""
    try:
        return subprocess.run(command, capture_output=True, text=options.pop("text", True), timeout=20,
                              **options).stdout
    except subprocess.TimeoutExpired:
        return ""


def pages(debug_port):
    try:
        with urllib.request.urlopen("http://127.0.0.1:%d/json" % debug_port, timeout=1) as answer:
            return [p for p in json.load(answer) if p.get("type") == "page"]
    except Exception:
        return []


def loaded(debug_port, count=1, address=None, title=TITLE):
    address = address or url
    return sum(1 for p in pages(debug_port) if p.get("title") == title and p.get("url") == address) >= count


def tree(pid):
    found, todo = [], [pid]
    while todo:
        current = todo.pop()
        found.append(current)
        for task in os.listdir("/proc/%d/task" % current) if os.path.exists("/proc/%d" % current) else []:
            try:
                with open("/proc/%d/task/%s/children" % (current, task)) as children:
                    todo += [int(c) for c in children.read().split()]
            except OSError:
                pass
    return found


def pss_mib(pid):
    total = 0
    for process in tree(pid):
        try:
            with open("/proc/%d/smaps_rollup" % process) as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024.0


def stop(process, kill=False):
    process.send_signal(signal.SIGKILL if kill else signal.SIGTERM)
    try:
        process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    time.sleep(0.5)


def wait_for(condition, limit=60):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.01)
    return False


def main_window(pid):
    """The browser's largest viewable window as (id, x, y, width, height), or None."""
    best = None
    for window in run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)]).split():
        geometry = dict(entry.partition("=")[::2] for entry in
                        run(["xdotool", "getwindowgeometry", "--shell", window]).split())
        try:
            box = (int(window), int(geometry["X"]), int(geometry["Y"]), int(geometry["WIDTH"]), int(geometry["HEIGHT"]))
        except (KeyError, ValueError):
            continue
        if not best or box[3] * box[4] > best[3] * best[4]:
            best = box
    return best


def focus(pid):
    window = main_window(pid)
    if window:
        run(["xdotool", "windowfocus", str(window[0])])
    return window


def quellon_folder(home_page=None, page_log=()):
    folder = os.path.join(work, "quellon")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "dat"))
    shutil.copy(os.path.join(build, "quellon"), folder)
    shutil.copytree(os.path.join(build, "res"), os.path.join(folder, "res"))
    shutil.copy(os.path.join(build, "dat", "data.dat"), os.path.join(folder, "dat"))
    database = sqlite3.connect(os.path.join(folder, "dat", "data.dat"))
    database.execute("DELETE FROM qb_page_log")
    # Start mode (key 2): 0 offers to restore the page log, 1 opens the home page only.
    database.execute("INSERT OR REPLACE INTO qb_config (cfg_key, cfg_value) VALUES (2, ?)",
                     ("0" if page_log else "1",))
    # What the page log holds after the program was killed with these pages open.
    database.executemany("INSERT INTO qb_page_log (url) VALUES (?)", [(address,) for address in page_log])
    if home_page:
        database.execute("INSERT OR REPLACE INTO qb_config (cfg_key, cfg_value) VALUES (3, ?)", (home_page,))
    database.commit()
    database.close()
    return folder


PER_TAB = "--disable-gpu --process-per-tab"


def start_quellon(arguments, home_page=None, flags=None, page_log=(), environment=None):
    folder = quellon_folder(home_page, page_log)
    env = dict(os.environ, HOME=os.path.join(work, "qhome"), XDG_DATA_HOME=os.path.join(work, "qhome/data"),
               QUELLON_SITE_ROOT=SITE_ROOT, **(environment or {}))
    if flags:
        env["QTWEBENGINE_CHROMIUM_FLAGS"] = flags
    # The debugging endpoint (opened only on request) tells when the page has loaded, as for Falkon.
    return subprocess.Popen([os.path.join(folder, "quellon"), "--remote-debugging-port=9000"] + arguments,
                            env=env, cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL), 9000


FALKON_HOME = os.path.join(work, "fhome")
# Falkon hands its arguments to a running Falkon of the same user through a socket in the temporary
# folder and exits: a folder of its own keeps it from finding one started by anyone else.
FALKON_TEMP = os.path.join(work, "ftemp")
FALKON_ENV = dict(os.environ, HOME=FALKON_HOME, XDG_CONFIG_HOME=FALKON_HOME + "/config",
                  XDG_DATA_HOME=FALKON_HOME + "/data", XDG_CACHE_HOME=FALKON_HOME + "/cache",
                  XDG_RUNTIME_DIR=FALKON_HOME + "/run", TMPDIR=FALKON_TEMP,
                  QTWEBENGINE_REMOTE_DEBUGGING="127.0.0.1:9001")


def start_falkon(arguments, home_page=None, flags=None, profile=None, environment=None):
    """Falkon with a fresh profile, or a copy of profile (a saved FALKON_HOME)."""
    shutil.rmtree(FALKON_HOME, ignore_errors=True)
    shutil.rmtree(FALKON_TEMP, ignore_errors=True)
    os.makedirs(FALKON_TEMP)
    if profile:
        shutil.copytree(profile, FALKON_HOME, symlinks=True)
    else:
        os.makedirs(FALKON_HOME + "/run", mode=0o700)
    return subprocess.Popen(["falkon", "--no-extensions"] + arguments, env=FALKON_ENV,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL), 9001


def open_tab(start, process, debug, address, title, count):
    """A further tab as a user opens it: Ctrl+T, the address bar (Alt+D in the program, Ctrl+L in
    Falkon), the address, Enter. A busy machine can lose the typed address: the bar once more."""
    run(["xdotool", "key", "ctrl+t"])
    time.sleep(1.0)
    for _ in range(3):
        run(["xdotool", "key", "alt+d" if start is start_quellon else "ctrl+l"])
        time.sleep(0.3)
        run(["xdotool", "type", "--delay", "10", address])
        run(["xdotool", "key", "Return"])
        if wait_for(lambda: loaded(debug, count, address, title), 20):
            return True
    return False


def startup(start):
    times = []
    for _ in range(runs):
        begin = time.monotonic()
        process, debug = start([url])
        ok = wait_for(lambda: loaded(debug))
        times.append((time.monotonic() - begin) * 1000 if ok else float("nan"))
        stop(process)
    return times


def memory(start, tabs, flags=None):
    if start is start_quellon:
        # Tabs of the same page: the home page, opened once at start and then with Alt+Home.
        process, debug = start([], home_page=url, flags=flags)
        wait_for(lambda: loaded(debug))
        focus(process.pid)
        for count in range(2, tabs + 1):
            run(["xdotool", "key", "alt+Home"])
            wait_for(lambda: loaded(debug, count), 30)
    else:
        process, debug = start([url])
        wait_for(lambda: loaded(debug))
        focus(process.pid)
        for count in range(2, tabs + 1):
            open_tab(start, process, debug, url, TITLE, count)
    ok = wait_for(lambda: loaded(debug, tabs), 90)
    time.sleep(3)
    open_pages = sum(1 for p in pages(debug) if p.get("url") == url)
    figure = pss_mib(process.pid)
    stop(process)
    return figure, open_pages, ok


def ratio(name, quellon, falkon):
    """Prints the ratio line; a ratio over its goal is a miss."""
    value = quellon / falkon
    print("ratio Quellon / Falkon %s: %.2f" % (name, value))
    goal = GOALS.get(name)
    if goal is not None and value > goal:
        misses.append("%s %.2f, goal <= %.2f" % (name, value, goal))


def start_and_memory():
    print("page: %s" % url)
    results = {}
    for name, start in (("Quellon", start_quellon), ("Falkon", start_falkon)):
        times = startup(start)
        if any(math.isnan(t) for t in times):
            failures.append("%s start: the page did not load within 60 s" % name)
        results[name] = statistics.median(times)
        print("%-8s start to first page loaded: median %.0f ms (runs: %s)"
              % (name, results[name], ", ".join("%.0f" % t for t in times)))
    ratio("start", results["Quellon"], results["Falkon"])
    # The program in its default process model (one renderer per site) and with one per tab.
    sides = (("Quellon per site", start_quellon, None), ("Quellon per tab", start_quellon, PER_TAB),
             ("Falkon", start_falkon, None))
    figures = {}
    for tabs in (1, 10):
        line = []
        for name, start, flags in sides:
            measured = []
            for _ in range(repeats if tabs == 1 else 1):
                figure, open_pages, ok = memory(start, tabs, flags)
                measured.append(figure)
                if not ok or open_pages != tabs:
                    failures.append("%s memory: %d of %d tabs loaded" % (name, open_pages, tabs))
            figures[name, tabs] = statistics.median(measured)
            line.append("%s %.0f MiB (%d tabs of the page%s%s)"
                        % (name, figures[name, tabs], open_pages, "" if ok else ", incomplete",
                           "" if len(measured) == 1 else "; median of " + ", ".join("%.0f" % m for m in measured)))
        print("memory, PSS of all processes, %2d tab(s): %s" % (tabs, "; ".join(line)))
    print("one renderer per site instead of one per tab, 10 tabs of one page: %.0f MiB less (%.0f against %.0f MiB)"
          % (figures["Quellon per tab", 10] - figures["Quellon per site", 10], figures["Quellon per site", 10],
             figures["Quellon per tab", 10]))
    ratio("1-tab PSS", figures["Quellon per site", 1], figures["Falkon", 1])


# ---- sessions: restore-30 and idle-10

def new_tab_open(start, process, debug):
    """True once the tab of Ctrl+T is there: its page (the program's navigation page, Falkon's
    speed dial) in the engine's page list or its title in the window caption."""
    mark = SITE_ROOT + "123.html" if start is start_quellon else "falkon:speeddial"
    if any(p.get("url", "").startswith(mark) for p in pages(debug)):
        return True
    window = main_window(process.pid)
    caption = run(["xdotool", "getwindowname", str(window[0])]) if window else ""
    return ("Navigation" if start is start_quellon else "Speed Dial") in caption


class WindowShot:
    """The main window's part of a screenshot, in window coordinates, with the methods the end-to-end
    scenario's restore_yes_button reads."""

    def __init__(self, window):
        _, self.left, self.top, self.width, self.height = window
        self.data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                                   timeout=20).stdout
        self.screen_width = int(run(["xdotool", "getdisplaygeometry"]).split()[0])

    def pixel(self, x, y):
        offset = ((self.top + y) * self.screen_width + self.left + x) * 3
        return tuple(self.data[offset:offset + 3])

    def rows_of_colour(self, colour, x):
        return [y for y in range(self.height) if self.pixel(x, y) == colour]


def restore_offer_yes(pid):
    """The screen position of the "是" button of the program's restore offer, or None."""
    window = main_window(pid)
    point = restore_yes_button(WindowShot(window)) if window else None
    return (window[1] + point[0], window[2] + point[1]) if point else None


def falkon_session():
    """A Falkon profile with the 30 sites open in one window, saved as Falkon leaves it when killed."""
    process, debug = start_falkon([SITES[0][0]])
    ok = wait_for(lambda: loaded(debug, 1, *SITES[0]))
    focus(process.pid)
    for count, (address, title) in enumerate(SITES[1:], 2):
        ok = ok and open_tab(start_falkon, process, debug, address, title, 1)
    session = os.path.join(FALKON_HOME, "config/falkon/profiles/default/session.dat")

    def saved():
        try:
            with open(session, "rb") as stored:
                data = stored.read()
        except OSError:
            return False
        return all(address.split("/")[2].encode() in data or address.split("/")[2].encode("utf-16-be") in data
                   for address, _ in SITES)
    # Falkon writes its session every few seconds while it runs.
    ok = ok and wait_for(saved, 60)
    stop(process, kill=True)
    profile = os.path.join(work, "falkon-session")
    shutil.rmtree(profile, ignore_errors=True)
    shutil.copytree(FALKON_HOME, profile, symlinks=True)
    return profile if ok else None


def restore(start, profile):
    """Launch to the window answering Ctrl+T with the 30 sites coming back (the program: its restore
    offer answered "是" with a click), and PSS a minute later. (ready ms, PSS MiB, processes, note)."""
    begin = time.monotonic()
    if start is start_quellon:
        process, debug = start([], home_page="about:blank", page_log=[address for address, _ in SITES])
        deadline = time.monotonic() + 60
        yes = None
        while not yes and time.monotonic() < deadline:
            yes = restore_offer_yes(process.pid)
        if not yes:
            window = main_window(process.pid)
            caption = run(["xdotool", "getwindowname", str(window[0])]).strip() if window else "no window"
            stop(process)
            return None, None, 0, "no restore offer within 60 s (main window: %s, %r)" % (window, caption)
        run(["xdotool", "mousemove", "--sync", str(yes[0]), str(yes[1])])
        run(["xdotool", "click", "1"])
        # Finding the offer on a screenshot takes the bench a few hundred ms of its own.
        answered_at = time.monotonic()
    else:
        process, debug = start([], profile=profile)
        if not wait_for(lambda: main_window(process.pid), 60):
            stop(process)
            return None, None, 0, "no window within 60 s"
        answered_at = time.monotonic()
    focus(process.pid)
    sent = [0.0]

    def answered():
        # The key once more every 5 s in case the first went astray (focus not yet there).
        if time.monotonic() - sent[0] > 5:
            run(["xdotool", "key", "ctrl+t"])
            sent[0] = time.monotonic()
        return new_tab_open(start, process, debug)
    ok = wait_for(answered, 90)
    ready = (time.monotonic() - begin) * 1000
    after_answer = (time.monotonic() - answered_at) * 1000
    time.sleep(SETTLE_SECONDS)
    figure = pss_mib(process.pid)
    processes = len(tree(process.pid))
    if start is start_quellon:
        # Every restored tab is in the page log, sleeping or not.
        folder = os.path.join(work, "quellon")
        database = sqlite3.connect(os.path.join(folder, "dat", "data.dat"), timeout=10)
        logged = {row[0] for row in database.execute("SELECT url FROM qb_page_log")}
        database.close()
        back = sum(1 for address, _ in SITES if address in logged)
    else:
        back = SITE_COUNT  # checked when the profile was made; Falkon keeps every tab it restores
    awake = sum(1 for p in pages(debug) if p.get("url", "").startswith("http://s"))
    stop(process)
    if not ok:
        return None, figure, processes, "Ctrl+T not answered within 90 s"
    if back != SITE_COUNT:
        return None, figure, processes, "%d of %d sites came back" % (back, SITE_COUNT)
    return ready, figure, processes, ("%.0f ms of it after the offer was answered (Falkon: after its window "
                                      "appeared); %d processes, %d sites with a live page"
                                      % (after_answer, processes, awake))


def idle(start):
    """10 sites opened one after the other, then the browser left alone: PSS afterwards."""
    environment = {"QUELLON_TAB_SLEEP_SECONDS": str(SLEEP_SECONDS)} if start is start_quellon else None
    process, debug = start([SITES[0][0]], environment=environment)
    ok = wait_for(lambda: loaded(debug, 1, *SITES[0]))
    focus(process.pid)
    for address, title in SITES[1:IDLE_TABS]:
        ok = ok and open_tab(start, process, debug, address, title, 1)
    time.sleep(IDLE_WAIT_SECONDS)
    figure = pss_mib(process.pid)
    awake = sum(1 for p in pages(debug) if p.get("url", "").startswith("http://s"))
    stop(process)
    return figure if ok else None, awake


def median_of(name, values, unit):
    good = [v for v in values if v is not None]
    if len(good) != len(values):
        failures.append("%s: %d of %d runs measured" % (name, len(good), len(values)))
    if not good:
        return None
    print("%s: median %.0f %s (runs: %s)" % (name, statistics.median(good), unit,
                                           ", ".join("%.0f" % v for v in good)))
    return statistics.median(good)


def sessions():
    print("sites: %d host names under .localhost, %s ..." % (SITE_COUNT, SITES[0][0]))
    profile = falkon_session()
    if not profile:
        failures.append("restore-30: Falkon's session with the 30 sites was not saved")
        return
    figures = {}
    for name, start, extra in (("Quellon", start_quellon, None), ("Falkon", start_falkon, profile)):
        results = [restore(start, extra) for _ in range(repeats)]
        for ready, figure, processes, note in results:
            print("%-8s restore-30: ready %s, PSS a minute later %s MiB; %s"
                  % (name, "-" if ready is None else "%.0f ms" % ready, "-" if figure is None else "%.0f" % figure,
                     note))
        figures[name, "ready"] = median_of("%s restore-30 ready" % name, [r[0] for r in results], "ms")
        figures[name, "restore"] = median_of("%s restore-30 PSS" % name,
                                             [r[1] if r[0] is not None else None for r in results], "MiB")
    for name, start in (("Quellon", start_quellon), ("Falkon", start_falkon)):
        results = [idle(start) for _ in range(repeats)]
        print("%-8s idle-10: %d s alone (program's sleep limit %d s), sites with a live page afterwards: %s"
              % (name, IDLE_WAIT_SECONDS, SLEEP_SECONDS, ", ".join(str(awake) for _, awake in results)))
        figures[name, "idle"] = median_of("%s idle-10 PSS" % name, [r[0] for r in results], "MiB")
    for key, label in (("ready", "restore-30 ready"), ("restore", "restore-30 PSS"), ("idle", "idle-10 PSS")):
        if figures["Quellon", key] and figures["Falkon", key]:
            ratio(label, figures["Quellon", key], figures["Falkon", key])


try:
    {"start-and-memory": start_and_memory, "sessions": sessions}[part]()
finally:
    server.terminate()
    server.wait()
for failure in failures:
    print("FAILED: %s" % failure)
for miss in misses:
    print("MISSED: %s" % miss)
sys.exit(1 if failures or misses else 0)
