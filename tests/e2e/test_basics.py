"""Daily basics: typing addresses, opening them in new tabs, walking, closing and reopening tabs."""

import harness
from harness import BrowserTest


class AddressBar(BrowserTest):
    def test_enter_opens_typed_address(self):
        page = self.server.add_page("typed.html", "Typed page")
        self.start()
        self.wait_caption("网址导航")
        self.open_address(page)
        self.wait_caption("Typed page")
        self.wait_pages([(page, "Typed page")])

    def test_ctrl_enter_opens_new_active_tab(self):
        page = self.start_with_tabs("New tab page")[1][0]
        self.wait_caption("New tab page")
        self.assertEqual(self.address_text(), page)

    def test_escape_restores_address(self):
        page = self.server.add_page("kept.html", "Kept page")
        self.start(page)
        self.wait_caption("Kept page")
        self.focus_address_bar()
        self.program.type("something else")
        self.program.key("Escape")
        self.assertEqual(self.address_text(), page)


class Tabs(BrowserTest):
    def open_three_tabs(self):
        """The navigation page, then A and B opened in new tabs; B is the last tab."""
        _, (a, _), (b, _) = self.start_with_tabs("Page A", "Page B")
        return a, b

    def test_ctrl_tab_wraps_from_last_to_first(self):
        self.open_three_tabs()
        self.program.key("ctrl+3")
        self.wait_caption("Page B")
        self.program.key("ctrl+Tab")
        self.wait_caption("网址导航")
        self.program.key("ctrl+shift+Tab")
        self.wait_caption("Page B")

    def test_ctrl_w_on_last_tab_closes_window(self):
        self.start()
        self.wait_caption("网址导航")
        self.program.key("ctrl+w")
        self.assertEqual(self.program.wait_exit(), 0)

    def test_ctrl_shift_t_walks_back_through_closed_pages(self):
        a, b = self.open_three_tabs()
        self.program.key("ctrl+3")
        self.wait_caption("Page B")
        self.program.key("ctrl+w")
        self.wait_page_count(2)
        self.program.key("ctrl+2")
        self.wait_caption("Page A")
        self.program.key("ctrl+w")
        self.wait_pages([(self.navigation_page(), "网址导航")])
        # Newest first: A, then B; then nothing more of these two.
        self.program.key("ctrl+shift+t")
        self.wait_pages([(self.navigation_page(), "网址导航"), (a, "Page A")])
        self.program.key("ctrl+shift+t")
        self.wait_pages([(self.navigation_page(), "网址导航"), (a, "Page A"), (b, "Page B")])


if __name__ == "__main__":
    harness.main()
