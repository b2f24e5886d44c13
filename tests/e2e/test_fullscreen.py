"""Full screen (F11 / Esc) and the address suggestion list, which must never be left floating over
a page."""

import harness
from harness import BrowserTest, stays, wait_until

from harness import SCROLL_PAGE_HEAD

BLUE = harness.PAGE_BLUE


class FullScreen(BrowserTest):
    def start_full_screen(self):
        """A blue page shown full screen, entered with F11 from the address bar."""
        page = self.server.add_page("blue.html", "y0", head=SCROLL_PAGE_HEAD)
        self.start(page)
        self.wait_caption("y0")
        self.program.click(*harness.ADDRESS_BAR)
        self.program.key("F11")
        wait_until(lambda: not self.chrome_shown(), "full screen")
        return page

    def centre_is_blue(self):
        return self.program.screenshot().pixel(*harness.PAGE_CENTRE) == BLUE

    def test_new_tab_in_full_screen(self):
        self.start_full_screen()
        self.program.key("ctrl+t")
        self.wait_page_count(2)
        self.wait_caption("网址导航")
        wait_until(lambda: not self.centre_is_blue(), "the new tab on screen")
        self.assertTrue(stays(lambda: not self.chrome_shown(), 2))

    def test_ctrl_w_in_full_screen_closes_visible_tab(self):
        page = self.start_full_screen()
        self.program.key("ctrl+t")
        self.wait_page_count(2)
        wait_until(lambda: not self.centre_is_blue(), "the new tab on screen")
        self.program.key("ctrl+w")
        self.wait_pages([(page, "y0")])
        wait_until(self.centre_is_blue, "the first tab on screen again")
        # Closing the full-screen tab left no window of its own behind.
        self.assertTrue(stays(lambda: len(self.program.windows()) == 1, 2), self.program.windows())

    def test_escape_leaves_page_unscrolled(self):
        page = self.start_full_screen()
        self.program.key("Escape")
        wait_until(self.chrome_shown, "the tool bar back")
        self.assertTrue(stays(lambda: self.page_title(page) == "y0", 2), self.page_title(page))


class SuggestionList(BrowserTest):
    def visit(self, name, title):
        page = self.server.add_page(name, title, head=SCROLL_PAGE_HEAD)
        self.open_address(page)
        self.wait_caption(title)
        return page

    def test_address_and_enter_leave_no_list(self):
        self.start()
        self.wait_caption("网址导航")
        page = self.visit("visited.html", "y0")
        self.open_address(self.navigation_page())
        self.wait_caption("网址导航")
        self.open_address(page)
        self.wait_caption("y0")
        self.assertTrue(stays(lambda: not self.suggestions_shown(), 2))

    def test_list_never_over_full_screen_page(self):
        self.start()
        self.wait_caption("网址导航")
        self.visit("visited.html", "y0")
        self.focus_address_bar()
        self.program.type("127.0.0.1")
        wait_until(self.suggestions_shown, "the suggestion list")
        self.program.key("F11")
        wait_until(lambda: not self.chrome_shown(), "full screen")
        self.assertTrue(stays(lambda: not self.suggestions_shown(), 2))


if __name__ == "__main__":
    harness.main()
