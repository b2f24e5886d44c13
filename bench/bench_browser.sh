#!/bin/bash
# The real program against Falkon (Debian's QtWebEngine browser) in the same run, under Xvfb, with
# pages served by nginx on 127.0.0.1 (bench_browser.py): time from start to the first page loaded
# (median of several runs), memory (PSS summed over every process of the browser) with 1 and 10 tabs
# of the same page, the program in both Chromium process models (one renderer per site, its default,
# and one per tab); 30 sites restored after the browser was killed (time until the window answers
# Ctrl+T, PSS a minute later); 10 sites left idle past the program's tab sleep limit; then the
# in-process latency figures of bench_browser_ui (tab switch, typing with 100,000 history rows).
# Exits with 1 when any part fails, a figure cannot be measured or a goal is missed ("MISSED:").
# Run it without a network: unshare -n sh -c 'ip link set lo up && bench/bench_browser.sh'.
# Usage: bench/bench_browser.sh [build folder, default build] [runs, default 5] [repeats, default 3]
# (repeats: memory figures and restore/idle rounds, reported as medians). BENCH_PARTS picks parts
# ("start-and-memory sessions" by default); BENCH_TAB_SLEEP_SECONDS, BENCH_IDLE_WAIT_SECONDS: idle-10.
set -eu
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-5}
REPEATS=${3:-3}
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
# The X server picks a free display itself (-displayfd): a number taken by another server would
# put both browsers on someone else's screen.
Xvfb -displayfd 3 -screen 0 1366x900x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$WORK/display")"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
sleep 1
failed=""

for part in ${BENCH_PARTS:-start-and-memory sessions}; do
    python3 -u "$SOURCE/bench/bench_browser.py" "$BUILD" "$WORK/$part" "$RUNS" "$REPEATS" "$part" ||
        failed="$failed $part"
done

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
