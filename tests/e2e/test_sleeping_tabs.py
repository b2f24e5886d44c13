"""Sleeping tabs: restored pages load only when their tab is first shown; background tabs left
unseen past the limit (shortened through QUELLON_TAB_SLEEP_SECONDS) or sent to sleep from the tab
menu leave the engine's page list and come back when clicked; a tab playing sound stays awake.
A page tells its state to the test server (/_stats counts the requests): every tick of its clock,
its freeze and resume events and its loads are requests of their own."""

import io
import json
import os
import wave

import harness
from harness import BrowserTest, fetch, stays, wait_until
from test_restore import restore_yes_button

TAB_Y = 105
SLEEP_CHOICE = (290, 540)  # the options page's "标签页休眠" box
LIMIT = {"QUELLON_TAB_SLEEP_SECONDS": "4"}


def tab_centre(index, count):
    """Tabs are 178 pixels wide from x 4, narrower once they no longer fit."""
    width = 178 if count * 178 < harness.W - 90 else (harness.W - 90) // count
    return (4 + index * width + width // 2, TAB_Y)


def reporting_head(name):
    return ("<script>var n = 0; function tell(what) { fetch('/' + what + '-%s?' + (++n)).catch(function () {}); }"
            " setInterval(function () { tell('tick'); }, 250);"
            " document.addEventListener('freeze', function () { navigator.sendBeacon('/freeze-%s'); });"
            " document.addEventListener('resume', function () { tell('resume'); });"
            " tell(document.wasDiscarded ? 'discarded' : 'load');</script>" % (name, name))


def tone_wav():
    """One second of a loud 500 Hz square wave, 8-bit mono at 8 kHz."""
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1), w.setsampwidth(1), w.setframerate(8000)
        w.writeframes(bytes(([48] * 8 + [208] * 8) * 500))
    return out.getvalue()


class SleepingTabs(BrowserTest):
    def start_on_navigation_page(self, environment={}):
        for name, value in environment.items():
            os.environ[name] = value
            self.addCleanup(os.environ.pop, name, None)
        self.start()
        self.wait_caption("网址导航")

    def open_reporting_tab(self, name, body=""):
        page = self.server.add_page(name + ".html", name, head=reporting_head(name), body=body)
        self.open_address(page, keys="ctrl+Return")
        wait_until(lambda: self.count("/tick-" + name), "the clock of " + name)
        return page

    def count(self, path):
        return json.loads(fetch(self.server.url("_stats")).decode("utf-8")).get(path, 0)

    def ticking(self, name):
        before = self.count("/tick-" + name)
        return not stays(lambda: self.count("/tick-" + name) == before, 2)

    def test_restored_pages_load_when_first_shown(self):
        titles = ["Restored %d" % i for i in range(9)]
        expected = self.start_with_tabs(*titles)
        urls = sorted(url for url, _ in expected)
        logged = lambda: sorted(r[0] for r in self.program.query("SELECT url FROM qb_page_log")) == urls
        wait_until(logged, "the open pages in the page log")
        self.restart(kill=True)
        self.program.click(*wait_until(lambda: restore_yes_button(self.program.screenshot()), "the offer"))
        # The first page loads in the current tab; the nine others wait asleep, logged all the same.
        self.wait_pages(expected[:1])
        self.assertTrue(stays(lambda: self.program.pages() == expected[:1], 2), self.program.pages())
        wait_until(logged, "every restored address in the page log")
        # Closed unseen, a sleeping tab is a closed page like any other: Ctrl+Shift+T reopens it.
        self.program.xdotool("mousemove", "--sync", *tab_centre(9, 10), "click", 2)
        wait_until(lambda: self.program.query("SELECT 1 FROM qb_history WHERE isclose = 1 AND site_url = ?",
                                              (expected[9][0],)), "the closed sleeping page in history")
        self.program.key("ctrl+shift+t")
        self.wait_pages([expected[0], expected[9]])
        for index in range(1, 9):
            self.program.click(*tab_centre(index, 10))
            self.wait_pages([expected[0]] + expected[1:index + 1] + [expected[9]])
            self.wait_caption(titles[index - 1])

    def test_idle_tab_sleeps_and_comes_back(self):
        self.start_on_navigation_page(LIMIT)
        page = self.open_reporting_tab("idle")
        self.program.click(*tab_centre(0, 2))
        # Frozen (the page saw its freeze event), then discarded: the engine lists it no more.
        wait_until(lambda: self.count("/freeze-idle"), "the hidden page frozen")
        wait_until(lambda: page not in self.program.page_urls(), "the hidden page discarded")
        self.program.click(*tab_centre(1, 2))
        wait_until(lambda: page in self.program.page_urls(), "the page back when its tab is shown")
        wait_until(lambda: self.count("/discarded-idle") or self.count("/resume-idle"), "the page loaded again")
        self.assertTrue(self.ticking("idle"), "the page's clock stands still")

    def test_tab_menu_and_options_row(self):
        self.start_on_navigation_page()
        page = self.open_reporting_tab("menu")
        self.program.click(*tab_centre(0, 2))
        self.program.right_click(*tab_centre(1, 2))
        self.program.choose_menu_item(1)  # "休眠此标签页"
        wait_until(lambda: page not in self.program.page_urls(), "the tab asleep from its menu")
        self.program.click(*tab_centre(1, 2))
        wait_until(lambda: page in self.program.page_urls(), "the page back when its tab is shown")
        # The options page: from the default 30 minutes one choice up is 10, one more is off.
        self.open_address("about:config")
        self.wait_caption("选项设置")
        setting = lambda: self.program.query("SELECT cfg_value FROM qb_config WHERE cfg_key = 19")
        for stored in ("10", "0"):
            self.program.click(*SLEEP_CHOICE)
            self.program.key("Up", "Return")
            wait_until(lambda: setting() == [(stored,)], "%s stored (now %r)" % (stored, setting()))

    def test_tab_playing_sound_stays_awake(self):
        self.start_on_navigation_page(LIMIT)
        with open(os.path.join(self.server.root, "tone.wav"), "wb") as tone:
            tone.write(tone_wav())
        self.open_reporting_tab("sound", body='<audio id="a" src="tone.wav" loop></audio><button style="'
                                "position:fixed;left:0;top:0;width:100%;height:100%\" "
                                "onclick=\"document.getElementById('a').play()\">play</button>")
        self.click_page()  # playing needs the user's gesture
        self.open_reporting_tab("quiet")
        self.program.click(*tab_centre(0, 3))
        # The quiet tab, hidden later, falls asleep; the one playing sound does not.
        wait_until(lambda: self.count("/freeze-quiet"), "the quiet tab asleep")
        self.assertTrue(self.ticking("sound"), "the tab playing sound fell asleep")


if __name__ == "__main__":
    harness.main()
