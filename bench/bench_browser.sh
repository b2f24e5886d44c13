#!/bin/bash
# The real program against Falkon (Debian's QtWebEngine browser) in the same run, under Xvfb, with
# pages served by nginx on 127.0.0.1: time from start to the first page loaded (median of several
# runs), memory (PSS summed over every process of the browser) with 1 and 10 tabs of the same page,
# the program in both Chromium process models (one renderer per site, its default, and one per tab);
# then the in-process latency figures of bench_browser_ui (tab switch, typing with 100,000 history
# rows). Exits with 1 when any part fails or a figure cannot be measured.
# Usage: bench/bench_browser.sh [build folder, default build] [runs, default 5]
set -eu
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-5}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)

export PATH="$PATH:/usr/sbin:/sbin"
for package in falkon xdotool nginx; do
    if ! command -v "$package" >/dev/null; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y "$package" >/dev/null ||
            { echo "cannot install $package" >&2; exit 1; }
        # The package starts the system's own nginx on port 80; only ours is wanted.
        [ "$package" != nginx ] || service nginx stop >/dev/null 2>&1 || true
    fi
done
[ -x "$BUILD/quellon" ] || { echo "build $BUILD/quellon first" >&2; exit 1; }

WORK=$(mktemp -d /tmp/bench_browser.XXXXXX)
DISPLAY_NUMBER=$((90 + RANDOM % 100))
Xvfb ":$DISPLAY_NUMBER" -screen 0 1366x900x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
sleep 1
failed=""

python3 -u - "$BUILD" "$SOURCE" "$WORK" "$RUNS" <<'PYTHON' || failed="$failed start-and-memory"
import json, math, os, shutil, signal, socket, sqlite3, statistics, subprocess, sys, time, urllib.request

build, source, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
TITLE = "Bench page"

# A page of ordinary weight: styled text, a table and a little script.
site = os.path.join(work, "site")
os.makedirs(site)
rows = "".join("<tr><td>%d</td><td>行 %d 的内容</td><td>%s</td></tr>" % (i, i, "x" * (i % 40)) for i in range(300))
with open(os.path.join(site, "page.html"), "w", encoding="utf-8") as page:
    page.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title><style>"
               "body{font-family:sans-serif;margin:24px} td{border-bottom:1px solid #ddd;padding:2px 8px}"
               "</style></head><body><h1>%s</h1><p>%s</p><table>%s</table>"
               "<script>document.title='%s';</script></body></html>"
               % (TITLE, TITLE, "中文段落。" * 200, rows, TITLE))

def start_nginx():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    folder = os.path.join(work, "nginx")
    os.makedirs(folder)
    temp = " ".join("%s_temp_path %s/%s;" % (kind, folder, kind) for kind in
                    ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    with open(os.path.join(folder, "nginx.conf"), "w") as config:
        config.write("daemon off;\n%sworker_processes 1;\npid %s/nginx.pid;\nerror_log %s/error.log;\n"
                     "events { worker_connections 64; }\n"
                     "http { access_log off; %s types { text/html html; }"
                     " server { listen 127.0.0.1:%d; root %s; } }\n"
                     % ("user root;\n" if os.geteuid() == 0 else "", folder, folder, temp, port, site))
    process = subprocess.Popen([shutil.which("nginx") or "/usr/sbin/nginx", "-p", folder, "-c",
                                os.path.join(folder, "nginx.conf")], stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.1).close()
            return process, port
        except OSError:
            time.sleep(0.05)
    process.kill()
    sys.exit("nginx did not start")

server, port = start_nginx()
url = "http://127.0.0.1:%d/page.html" % port
failures = []

def pages(debug_port):
    try:
        with urllib.request.urlopen("http://127.0.0.1:%d/json" % debug_port, timeout=1) as answer:
            return [p for p in json.load(answer) if p.get("type") == "page"]
    except Exception:
        return []

def loaded(debug_port, count=1):
    return sum(1 for p in pages(debug_port) if p.get("title") == TITLE and p.get("url") == url) >= count

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

def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()

def quellon_folder(home_page=None):
    folder = os.path.join(work, "quellon")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "dat"))
    shutil.copy(os.path.join(build, "quellon"), folder)
    shutil.copytree(os.path.join(build, "res"), os.path.join(folder, "res"))
    shutil.copy(os.path.join(build, "dat", "data.dat"), os.path.join(folder, "dat"))
    database = sqlite3.connect(os.path.join(folder, "dat", "data.dat"))
    database.execute("DELETE FROM qb_page_log")
    database.execute("INSERT OR REPLACE INTO qb_config (cfg_key, cfg_value) VALUES (2, '1')")
    if home_page:
        database.execute("INSERT OR REPLACE INTO qb_config (cfg_key, cfg_value) VALUES (3, ?)", (home_page,))
    database.commit()
    database.close()
    return folder

PER_TAB = "--disable-gpu --process-per-tab"

def start_quellon(arguments, home_page=None, flags=None):
    folder = quellon_folder(home_page)
    env = dict(os.environ, HOME=os.path.join(work, "qhome"), XDG_DATA_HOME=os.path.join(work, "qhome/data"))
    if flags:
        env["QTWEBENGINE_CHROMIUM_FLAGS"] = flags
    # The debugging endpoint (opened only on request) tells when the page has loaded, as for Falkon.
    return subprocess.Popen([os.path.join(folder, "quellon"), "--remote-debugging-port=9000"] + arguments,
                            env=env, cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL), 9000

FALKON_HOME = os.path.join(work, "fhome")
FALKON_ENV = dict(os.environ, HOME=FALKON_HOME, XDG_CONFIG_HOME=FALKON_HOME + "/config",
                  XDG_DATA_HOME=FALKON_HOME + "/data", XDG_CACHE_HOME=FALKON_HOME + "/cache",
                  XDG_RUNTIME_DIR=FALKON_HOME + "/run", QTWEBENGINE_REMOTE_DEBUGGING="127.0.0.1:9001")

def start_falkon(arguments, home_page=None, flags=None):
    shutil.rmtree(FALKON_HOME, ignore_errors=True)
    os.makedirs(FALKON_HOME + "/run", mode=0o700)
    return subprocess.Popen(["falkon", "--no-extensions"] + arguments, env=FALKON_ENV,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL), 9001

def wait_for(condition, limit=60):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.01)
    return False

def startup(start):
    times = []
    for _ in range(runs):
        begin = time.monotonic()
        process, debug = start([url])
        ok = wait_for(lambda: loaded(debug))
        times.append((time.monotonic() - begin) * 1000 if ok else float("nan"))
        stop(process)
        time.sleep(0.5)
    return times

def memory(start, tabs, flags=None):
    if start is start_quellon:
        # Ten tabs of the same page: the home page, opened once at start and then with Alt+Home.
        process, debug = start([], home_page=url, flags=flags)
        wait_for(lambda: loaded(debug))
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Quellon"], capture_output=True,
                                text=True).stdout.split()
        if window:
            subprocess.run(["xdotool", "windowfocus", window[0]], stderr=subprocess.DEVNULL)
        for count in range(2, tabs + 1):
            subprocess.run(["xdotool", "key", "alt+Home"])
            wait_for(lambda: loaded(debug, count), 30)
    else:
        # Further tabs as a user opens them: Ctrl+T, the address, Enter. A busy machine can lose the
        # typed address (the new tab's field not yet focused): Ctrl+L and the address once more.
        process, debug = start([url])
        wait_for(lambda: loaded(debug))
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "falkon"], capture_output=True,
                                text=True).stdout.split()
        if window:
            subprocess.run(["xdotool", "windowfocus", window[-1]], stderr=subprocess.DEVNULL)
        for count in range(2, tabs + 1):
            subprocess.run(["xdotool", "key", "ctrl+t"])
            time.sleep(1.0)
            for attempt in range(3):
                if attempt:
                    subprocess.run(["xdotool", "key", "ctrl+l"])
                    time.sleep(0.5)
                subprocess.run(["xdotool", "type", "--delay", "10", url])
                subprocess.run(["xdotool", "key", "Return"])
                if wait_for(lambda: loaded(debug, count), 20):
                    break
    ok = wait_for(lambda: loaded(debug, tabs), 90)
    time.sleep(3)
    open_pages = sum(1 for p in pages(debug) if p.get("url") == url)
    figure = pss_mib(process.pid)
    stop(process)
    time.sleep(0.5)
    return figure, open_pages, ok

def main():
    print("page: %s" % url)
    results = {}
    for name, start in (("Quellon", start_quellon), ("Falkon", start_falkon)):
        times = startup(start)
        if any(math.isnan(t) for t in times):
            failures.append("%s start: the page did not load within 60 s" % name)
        results[name] = statistics.median(times)
        print("%-8s start to first page loaded: median %.0f ms (runs: %s)"
              % (name, results[name], ", ".join("%.0f" % t for t in times)))
    print("ratio Quellon / Falkon start: %.2f" % (results["Quellon"] / results["Falkon"]))
    # The program in its default process model (one renderer per site) and with one per tab.
    sides = (("Quellon per site", start_quellon, None), ("Quellon per tab", start_quellon, PER_TAB),
             ("Falkon", start_falkon, None))
    figures = {}
    for tabs in (1, 10):
        line = []
        for name, start, flags in sides:
            figure, open_pages, ok = memory(start, tabs, flags)
            figures[name, tabs] = figure
            if not ok or open_pages != tabs:
                failures.append("%s memory: %d of %d tabs loaded" % (name, open_pages, tabs))
            line.append("%s %.0f MiB (%d tabs of the page%s)" % (name, figure, open_pages, "" if ok else ", incomplete"))
        print("memory, PSS of all processes, %2d tab(s): %s" % (tabs, "; ".join(line)))
    print("one renderer per site instead of one per tab, 10 tabs of one page: %.0f MiB less (%.0f against %.0f MiB)"
          % (figures["Quellon per tab", 10] - figures["Quellon per site", 10], figures["Quellon per site", 10],
             figures["Quellon per tab", 10]))

try:
    main()
finally:
    server.terminate()
    server.wait()
for failure in failures:
    print("FAILED: %s" % failure)
sys.exit(1 if failures else 0)
PYTHON

echo "in-process latency (bench_browser_ui):"
if ! "$BUILD/bench/bench_browser_ui" >"$WORK/ui.out" 2>"$WORK/ui.err"; then
    failed="$failed latency"
    grep '^bench_browser_ui:' "$WORK/ui.err" >&2 || tail -5 "$WORK/ui.err" >&2
fi
sed 's/^/  /' "$WORK/ui.out"
if [ -n "$failed" ]; then
    echo "FAILED parts:$failed"
    exit 1
fi
