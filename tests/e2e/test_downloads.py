"""Downloads from both engines: a click on a .zip link opens the new-download dialog with the
suggested name, OK starts the download, the manager shows the row moving and then finished, the
file on disk is the served file, a second file of the same name is offered as "name (1).zip", and
the finished sound is asked for (its player module is loaded) only when key 9 is on."""

import os

import harness
from harness import BrowserTest, stays, wait_until

SAVE_DIALOG = harness.SAVE_DIALOG
MANAGER = "下载"
ZIP_SIZE = 600 * 1024
# The served file arrives in about four seconds: long enough to watch the row move.
RATE = 150000
# Two links filling the upper and the lower half of the page: the same file under two addresses.
LINK_STYLE = ("<style>a{position:fixed;left:0;width:100%;height:50%;display:block}"
              "#first{top:0}#second{top:50%}</style>")
# Left of the manager window, which opens centred over the page.
FIRST_LINK = (150, 300)
SECOND_LINK = (150, 700)


class Downloads(BrowserTest):
    def setUp(self):
        super().setUp()
        self.content = os.urandom(ZIP_SIZE)
        with open(os.path.join(self.server.root, "pack.zip"), "wb") as served:
            served.write(self.content)
        self.folder = os.path.join(self.program.folder, "downloads")
        os.makedirs(self.folder)

    def start_on_links(self, sound):
        # Folder mode 1: the set folder; key 9: the finished sound.
        self.program.set_config(7, 1)
        self.program.set_config(8, self.folder + "/")
        self.program.set_config(9, 1 if sound else 0)
        body = ('<a id="first" href="pack.zip?rate=%d">first</a>'
                '<a id="second" href="pack.zip?rate=%d&amp;again=1">second</a>' % (RATE, RATE))
        page = self.server.add_page("links.html", "Download links", body, LINK_STYLE)
        self.start(page)
        self.wait_caption("Download links")
        return page


    def download_via_dialog(self, link, expected_name):
        """Clicks the link, reads the proposed name from the dialog (Ctrl+C copies the whole
        field) and accepts it with Enter."""
        self.program.focus()
        self.program.click(*link)
        dialog = wait_until(lambda: self.program.window_named(SAVE_DIALOG), "the new-download dialog")
        self.program.focus(dialog)
        marker = "(nothing copied)"
        self.program.set_clipboard(marker)
        self.program.key("ctrl+c")
        name = wait_until(lambda: self.program.clipboard() != marker and self.program.clipboard(),
                          "the proposed file name on the clipboard", 10)
        self.assertEqual(name, expected_name)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named(SAVE_DIALOG), "the dialog to close")
        return os.path.join(self.folder, expected_name)

    def bar_pixels(self, manager):
        shot = self.program.screenshot()
        rows = shot.region(manager["x"], manager["y"], manager["x"] + manager["width"],
                           manager["y"] + manager["height"])
        fill = bytes(harness.DOWNLOAD_BAR_FILL)
        return sum(row[i:i + 3] == fill for row in rows for i in range(0, len(row), 3))

    def finished_rows(self):
        return self.program.query("SELECT file_name FROM qb_download WHERE finished = 1")

    def sound_player_loaded(self):
        with open("/proc/%d/maps" % self.program.process.pid) as maps:
            return "libquellon_sound.so" in maps.read()

    def download_and_watch(self, link):
        path = self.download_via_dialog(link, "pack.zip")
        self.program.focus()
        self.program.click(*harness.DOWNLOAD_BUTTON)
        manager = wait_until(lambda: self.program.window_named(MANAGER), "the download manager")
        # The row's bar grows while the file arrives, and is gone once it is finished.
        first = wait_until(lambda: self.bar_pixels(manager), "the progress bar")
        wait_until(lambda: self.bar_pixels(manager) > first or self.finished_rows(), "the bar to grow")
        wait_until(lambda: self.finished_rows() == [(path,)], "the finished row in the data file")
        wait_until(lambda: self.bar_pixels(manager) == 0, "the finished row without a bar")
        with open(path, "rb") as arrived:
            self.assertEqual(arrived.read(), self.content)
        return path

    def test_chromium_link_downloads_through_the_dialog(self):
        self.start_on_links(sound=True)
        self.download_and_watch(FIRST_LINK)
        wait_until(self.sound_player_loaded, "the finished sound asked for")

        # The same file under another address: the name on disk is taken, the next one is offered.
        second = self.download_via_dialog(SECOND_LINK, "pack (1).zip")
        wait_until(lambda: len(self.finished_rows()) == 2, "the second download to finish")
        with open(second, "rb") as arrived:
            self.assertEqual(arrived.read(), self.content)

    def test_compatibility_link_downloads_through_the_dialog(self):
        # The page server's host is remembered for the compatibility engine: Chromium never
        # lists the page.
        self.program.remember_compatibility_engine("127.0.0.1:%d" % self.server.port)
        page = self.start_on_links(sound=False)
        self.assertNotIn(page, [url for url, _ in self.program.pages()])
        self.download_and_watch(FIRST_LINK)
        # Key 9 is off: no sound is asked for.
        self.assertTrue(stays(lambda: not self.sound_player_loaded(), 2))


if __name__ == "__main__":
    harness.main()
