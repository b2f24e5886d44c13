"""Keys with the keyboard in different places: inside a Chromium page, in the search box, in the
address bar. Every physical key acts once, opened tabs become active, Alt+D only moves the focus."""

import harness
from harness import SCROLL_PAGE_HEAD, BrowserTest, scroll_position, stays, wait_until

# A page with a text field holding "abc" over the middle of the page; its title follows the field.
FIELD_BODY = ('<input id="f" value="abc" style="position:fixed;left:0;top:0;width:100%;height:100%"'
              " oninput=\"document.title = 'field ' + this.value\">")


class KeysInsidePage(BrowserTest):
    def start_in_page(self):
        page = self.server.add_page("focus.html", "Focus page", FIELD_BODY)
        self.start(page)
        self.wait_caption("Focus page")
        self.click_page()
        return page

    def test_ctrl_t_opens_exactly_one_tab(self):
        page = self.start_in_page()
        self.program.key("ctrl+t")
        self.wait_page_count(2)
        self.assertTrue(stays(lambda: len(self.program.pages()) == 2, 3), self.program.pages())
        self.wait_caption("网址导航")

    def test_f11_enters_full_screen_and_stays(self):
        self.start_in_page()
        self.program.key("F11")
        wait_until(lambda: not self.chrome_shown(), "full screen")
        window = self.program.main_window()
        self.assertEqual((window["x"], window["y"], window["width"], window["height"]),
                         (0, 0, harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT))
        self.assertTrue(stays(lambda: not self.chrome_shown(), 3))

    def test_alt_d_leaves_page_field_alone(self):
        page = self.start_in_page()
        # The keys reach the field...
        self.program.key("End")
        self.program.type("q")
        self.wait_page_title(page, "field abcq")
        # ...until Alt+D moves the keyboard to the address bar: typing now goes there instead.
        self.program.key("alt+d")
        self.program.type("x")
        self.assertTrue(stays(lambda: self.page_title(page) == "field abcq", 2), self.page_title(page))
        self.assertFalse(self.suggestions_shown())
        self.program.set_clipboard("(nothing copied)")
        self.program.key("ctrl+a", "ctrl+c")
        wait_until(lambda: self.program.clipboard() == "x", "the typed x in the address bar")


class KeysInChrome(BrowserTest):
    def test_alt_d_in_address_bar_keeps_address(self):
        page = self.server.add_page("kept.html", "Kept page")
        self.start(page)
        self.wait_caption("Kept page")
        self.program.click(*harness.ADDRESS_BAR)
        self.program.key("alt+d", "alt+d")
        self.program.key("ctrl+c")
        wait_until(lambda: self.program.clipboard() == page, "the address copied unchanged")
        self.assertFalse(self.suggestions_shown())

    def test_down_in_search_box_scrolls_once(self):
        page = self.server.add_page("tall.html", "y0", head=SCROLL_PAGE_HEAD)
        self.start(page)
        self.wait_caption("y0")
        self.program.click(*harness.SEARCH_BOX)
        memory_before = self.program.rss_kib()
        self.program.key("Down")
        # One step of scrolling, then nothing more: the position stays bounded, and the program's
        # memory does not keep growing.
        wait_until(lambda: scroll_position(self.page_title(page)) > 0, "the page to scroll")
        self.assertTrue(stays(lambda: scroll_position(self.page_title(page)) <= 200, 5),
                        self.page_title(page))
        growth = self.program.rss_kib() - memory_before
        self.assertLess(growth, 100 * 1024, "memory grew by %d KiB" % growth)


class OpenedTabsAreActive(BrowserTest):
    """A tab opened by a key shows itself: caption and address bar follow it."""

    def assert_active(self, url, title):
        self.wait_caption(title)
        self.assertEqual(self.address_text(), url)

    def test_ctrl_t(self):
        self.start(self.server.add_page("first.html", "First"))
        self.wait_caption("First")
        self.program.click(*harness.ADDRESS_BAR)
        self.program.key("ctrl+t")
        self.assert_active(self.navigation_page(), "网址导航")

    def test_alt_home(self):
        home = self.server.add_page("home.html", "Home page")
        self.program.set_config(3, home)
        self.start()
        self.wait_caption("Home page")
        self.open_address(self.server.add_page("first.html", "First"))
        self.wait_caption("First")
        self.program.key("alt+Home")
        self.assert_active(home, "Home page")

    def test_ctrl_shift_t(self):
        closed = self.start_with_tabs("Closed page")[1][0]
        self.program.key("ctrl+2")
        self.wait_caption("Closed page")
        self.program.click(*harness.ADDRESS_BAR)
        self.program.key("ctrl+w")
        self.wait_caption("网址导航")
        self.program.click(*harness.ADDRESS_BAR)
        self.program.key("ctrl+shift+t")
        self.assert_active(closed, "Closed page")


if __name__ == "__main__":
    harness.main()
