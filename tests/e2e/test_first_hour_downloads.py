"""First steps with downloads and the address bar: a fast double click on a download link opens
one dialog and makes one download with one file; a download address typed into the bar and
cancelled with Esc leaves the bar on the page's own address, so Ctrl+D adds that page; words
typed into the bar open the search engine's result page and are not remembered as a host."""

import os

import harness
from harness import BrowserTest, stays, wait_until

SAVE_DIALOG = harness.SAVE_DIALOG
FILE_SIZE = 2 * 1024 * 1024
# About ten seconds to arrive: still running while a second dialog would show.
RATE = 200000
LINK_STYLE = harness.fill_style("a")


class FirstHourDownloads(BrowserTest):
    def setUp(self):
        super().setUp()
        with open(os.path.join(self.server.root, "big.bin"), "wb") as served:
            served.write(os.urandom(FILE_SIZE))
        self.folder = os.path.join(self.program.folder, "downloads")
        os.makedirs(self.folder)
        # Folder mode 1: every dialog proposes this folder.
        self.program.set_config(7, 1)
        self.program.set_config(8, self.folder + "/")

    def save_dialogs(self):
        return [w for w in self.program.dialogs() if w["name"] == SAVE_DIALOG]

    def answer_dialog(self, key):
        self.program.focus(wait_until(self.save_dialogs, "the new-download dialog")[0])
        self.program.key(key)
        wait_until(lambda: not self.save_dialogs(), "the dialog to close")

    def test_double_click_on_a_link_makes_one_download(self):
        page = self.server.add_page("link.html", "Download link",
                                    '<a href="big.bin?rate=%d" download>big</a>' % RATE, LINK_STYLE)
        self.start(page)
        self.wait_caption("Download link")
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE)
        self.program.xdotool("click", "--repeat", 2, "--delay", 60, 1)
        wait_until(self.save_dialogs, "the new-download dialog")
        self.assertTrue(stays(lambda: len(self.save_dialogs()) == 1, 5), "a second dialog opened")
        self.answer_dialog("Return")
        path = os.path.join(self.folder, "big.bin")
        wait_until(lambda: self.program.query("SELECT file_name, finished FROM qb_download") == [(path, 1)],
                   "one finished row for the file")
        self.assertEqual(os.listdir(self.folder), ["big.bin"])
        self.assertEqual(os.path.getsize(path), FILE_SIZE)

    def test_cancelled_typed_download_leaves_the_page_address_for_ctrl_d(self):
        page = self.server.add_page("fav.html", "Page before")
        self.start(page)
        self.wait_caption("Page before")
        self.open_address(self.server.url("big.bin"))
        self.answer_dialog("Escape")
        self.program.focus()
        self.program.key("ctrl+d")
        self.program.focus(wait_until(lambda: self.program.dialogs(), "the add-to-favorites dialog")[0])
        self.program.key("Return")
        wait_until(lambda: self.program.query("SELECT fav_url FROM qb_fav") == [(page,)],
                   "the favorite with the page's own address")
        self.assertEqual(self.address_text(), page)
        self.assertEqual(self.program.query("SELECT COUNT(*) FROM qb_download"), [(0,)])

    def test_typed_words_open_the_search_engine(self):
        endpoint = "http://127.0.0.1:%d/search" % self.server.port
        os.makedirs(os.path.join(self.server.root, "search", "s"), exist_ok=True)
        self.server.add_page("search/s/index.html", "Search results")
        os.environ["QUELLON_SEARCH_BAIDU"] = endpoint
        self.addCleanup(os.environ.pop, "QUELLON_SEARCH_BAIDU", None)
        self.start()
        self.wait_caption("网址导航")
        self.open_address("hello world")
        self.wait_caption("Search results")
        url = next(url for url, title in self.program.pages() if title == "Search results")
        self.assertTrue(url.startswith(endpoint + "/s?") and url.endswith("wd=hello+world"), url)
        self.assertEqual(self.program.query("SELECT domain FROM qb_domain_kernel WHERE domain LIKE '%hello%'"), [])


if __name__ == "__main__":
    harness.main()
