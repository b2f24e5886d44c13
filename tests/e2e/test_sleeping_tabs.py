"""Sleeping tabs: restored pages load only when their tab is first shown, background tabs left
unseen past the limit sleep and come back when clicked, a tab playing sound stays awake. The
limit is shortened through QUELLON_TAB_SLEEP_SECONDS. A page tells its state to the test server:
every tick of its clock is a request to /tick-<name>, and its freeze, resume and load events are
requests of their own (/_stats counts them)."""

import io
import json
import math
import os
import struct
import wave

import harness
from harness import BrowserTest, fetch, stays, wait_until
from test_restore import restore_yes_button

TAB_Y = 105  # tabs are 178 pixels wide from x 4, narrower once they no longer fit
SLEEP_CHOICE = (290, 540)  # the options page's "标签页休眠" box
LIMIT_VARIABLE, LIMIT_SECONDS = "QUELLON_TAB_SLEEP_SECONDS", "4"


def tab_centre(index, count):
    width = 178 if count * 178 < harness.W - 90 else (harness.W - 90) // count
    return (4 + index * width + width // 2, TAB_Y)


def reporting_head(name):
    """A page that counts its ticks at the server while it runs, and reports its lifecycle."""
    return ("<script>var n = 0; function tell(what) { fetch('/' + what + '-%s?' + (++n)).catch(function () {}); }"
            " setInterval(function () { tell('tick'); document.title = '%s ' + n; }, 250);"
            " document.addEventListener('freeze', function () { navigator.sendBeacon('/freeze-%s'); });"
            " document.addEventListener('resume', function () { tell('resume'); });"
            " tell(document.wasDiscarded ? 'discarded' : 'load');</script>" % (name, name, name))


def tone_wav(seconds=1, rate=8000):
    """A short sine tone as WAV bytes."""
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * i / rate)))
                               for i in range(seconds * rate)))
    return out.getvalue()


class SleepingTabs(BrowserTest):
    def shorten_limit(self):
        os.environ[LIMIT_VARIABLE] = LIMIT_SECONDS
        self.addCleanup(os.environ.pop, LIMIT_VARIABLE, None)

    def stats(self):
        return json.loads(fetch(self.server.url("_stats")).decode("utf-8"))

    def count(self, path):
        return self.stats().get(path, 0)

    def ticking(self, name):
        """True when the page's clock runs: its tick count grows within a few polls."""
        before = self.count("/tick-" + name)
        return not stays(lambda: self.count("/tick-" + name) == before, 2)

    def test_restored_pages_load_when_first_shown(self):
        titles = ["Restored %d" % i for i in range(9)]
        expected = self.start_with_tabs(*titles)
        urls = sorted(url for url, _ in expected)
        wait_until(lambda: sorted(r[0] for r in self.program.query("SELECT url FROM qb_page_log")) == urls,
                   "the open pages in the page log")
        self.restart(kill=True)
        yes = wait_until(lambda: restore_yes_button(self.program.screenshot()), "the restore offer")
        self.program.click(*yes)
        # The first page loads in the current tab; the nine others wait, asleep.
        self.wait_pages([expected[0]])
        wait_until(lambda: self.program.caption() == "网址导航" + harness.CAPTION_SUFFIX, "the first page shown")
        self.assertTrue(stays(lambda: self.program.pages() == [expected[0]], 2), self.program.pages())
        # The page log keeps every address, the sleeping ones too.
        wait_until(lambda: sorted(r[0] for r in self.program.query("SELECT url FROM qb_page_log")) == urls,
                   "every restored address in the page log")
        # A sleeping tab closed unseen is a closed page like any other: Ctrl+Shift+T brings it back.
        self.program.xdotool("mousemove", "--sync", *tab_centre(9, 10), "click", 2)
        wait_until(lambda: self.program.query("SELECT site_url FROM qb_history WHERE isclose = 1 AND site_url = ?",
                                              (expected[9][0],)), "the closed sleeping page in history")
        self.program.key("ctrl+shift+t")
        self.wait_pages([expected[0], expected[9]])
        for index in range(1, 9):
            self.program.click(*tab_centre(index, 10))
            self.wait_pages([expected[0]] + expected[1:index + 1] + [expected[9]])
            self.wait_caption(titles[index - 1])

    def test_idle_tab_sleeps_and_comes_back(self):
        self.shorten_limit()
        self.start()
        self.wait_caption("网址导航")
        page = self.server.add_page("idle.html", "idle", head=reporting_head("idle"))
        self.open_address(page, keys="ctrl+Return")
        wait_until(lambda: self.count("/tick-idle") > 0, "the page's clock running")
        self.program.click(*tab_centre(0, 2))
        # Frozen (the page saw its freeze event), then discarded: the engine lists it no more.
        wait_until(lambda: self.count("/freeze-idle"), "the hidden page frozen")
        wait_until(lambda: page not in self.program.page_urls(), "the hidden page discarded")
        self.program.click(*tab_centre(1, 2))
        wait_until(lambda: page in self.program.page_urls(), "the page back when its tab is shown")
        wait_until(lambda: self.count("/discarded-idle") or self.count("/resume-idle"), "the page loaded again")
        self.assertTrue(self.ticking("idle"), "the page's clock stands still")

    def test_tab_menu_puts_tab_to_sleep(self):
        self.start()
        self.wait_caption("网址导航")
        page = self.server.add_page("menu.html", "menu", head=reporting_head("menu"))
        self.open_address(page, keys="ctrl+Return")
        wait_until(lambda: self.count("/tick-menu") > 0, "the page's clock running")
        # The current tab cannot sleep: its only command is greyed and Enter chooses nothing.
        self.program.right_click(*tab_centre(1, 2))
        self.program.choose_menu_item(1)
        self.program.key("Escape")
        self.program.click(*tab_centre(0, 2))
        self.assertIn(page, self.program.page_urls())
        # A background tab sleeps at once: frozen and discarded, the engine lists it no more.
        self.program.right_click(*tab_centre(1, 2))
        self.program.choose_menu_item(1)
        wait_until(lambda: page not in self.program.page_urls(), "the tab asleep from its menu")
        self.program.click(*tab_centre(1, 2))
        wait_until(lambda: page in self.program.page_urls(), "the page back when its tab is shown")

    def test_options_row_stores_the_minutes(self):
        self.start()
        self.wait_caption("网址导航")
        self.open_address("about:config")
        self.wait_caption("选项设置")
        setting = lambda: self.program.query("SELECT cfg_value FROM qb_config WHERE cfg_key = 19")
        # From the default 30 minutes one choice up is 10, one more is off.
        self.program.click(*SLEEP_CHOICE)
        self.program.key("Up", "Return")
        wait_until(lambda: setting() == [("10",)], "10 minutes stored (now %r)" % (setting(),))
        self.program.click(*SLEEP_CHOICE)
        self.program.key("Up", "Return")
        wait_until(lambda: setting() == [("0",)], "off stored (now %r)" % (setting(),))

    def test_tab_playing_sound_stays_awake(self):
        self.shorten_limit()
        self.start()
        self.wait_caption("网址导航")
        with open(os.path.join(self.server.root, "tone.wav"), "wb") as tone:
            tone.write(tone_wav())
        fill = "position:fixed;left:0;top:0;width:100%;height:100%;display:block"
        sound = self.server.add_page(
            "sound.html", "sound", head=reporting_head("sound"),
            body='<audio id="a" src="tone.wav" loop></audio><button style="%s" onclick="'
                 "document.getElementById('a').play()\">play</button>" % fill)
        quiet = self.server.add_page("quiet.html", "quiet", head=reporting_head("quiet"))
        self.open_address(sound, keys="ctrl+Return")
        wait_until(lambda: self.count("/tick-sound") > 0, "the sound page's clock running")
        self.click_page()  # playing needs a user's gesture
        self.open_address(quiet, keys="ctrl+Return")
        wait_until(lambda: self.count("/tick-quiet") > 0, "the quiet page's clock running")
        self.program.click(*tab_centre(0, 3))
        # The quiet tab, hidden later, falls asleep; the one playing sound does not.
        wait_until(lambda: self.count("/freeze-quiet"), "the quiet tab asleep")
        self.assertTrue(self.ticking("sound"), "the tab playing sound fell asleep")


if __name__ == "__main__":
    harness.main()
