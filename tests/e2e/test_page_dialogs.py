"""What pages ask of the user: window.open from a link, alert() and confirm() boxes, and closing a
tab while its box is open."""

import harness
from harness import BrowserTest, stays, wait_until

# The whole page is one button; a click runs the page's script.
BUTTON_STYLE = harness.fill_style("button")


class PageDialogs(BrowserTest):
    def add_button_page(self, name, title, script):
        return self.server.add_page(name, title, '<button onclick="%s">go</button>' % script, BUTTON_STYLE)

    def open_box(self, name, script):
        """Starts on a page whose click runs script, clicks it and waits for the box."""
        page = self.add_button_page(name, "Waiting", script)
        self.start(page)
        self.wait_caption("Waiting")
        self.click_page()
        box = wait_until(lambda: next(iter(self.program.dialogs()), None), "the page's message box")
        return page, box

    def answer(self, box, key):
        self.program.focus(box)
        self.program.key(key)

    def test_link_opening_window_becomes_tab(self):
        target = self.server.add_page("opened.html", "Opened by the page")
        page = self.add_button_page("opener.html", "Opener", "window.open('%s')" % target)
        self.start(page)
        self.wait_caption("Opener")
        self.click_page()
        self.wait_pages([(page, "Opener"), (target, "Opened by the page")])
        self.wait_caption("Opened by the page")
        self.assertEqual(len(self.program.windows()), 1, self.program.windows())

    def test_alert_answered_with_enter(self):
        page, box = self.open_box("alert.html", "alert('hello'); document.title = 'answered'")
        self.answer(box, "Return")
        self.wait_page_title(page, "answered")
        wait_until(lambda: not self.program.dialogs(), "the box to close")

    def test_confirm_answered_with_escape_and_enter(self):
        script = "document.title = confirm('sure?') ? 'yes' : 'no'"
        page, box = self.open_box("confirm.html", script)
        self.answer(box, "Escape")
        self.wait_page_title(page, "no")
        self.program.focus()
        self.click_page()
        box = wait_until(lambda: next(iter(self.program.dialogs()), None), "the second box")
        self.answer(box, "Return")
        self.wait_page_title(page, "yes")


class ClosingUnderOpenBox(BrowserTest):
    """Ctrl+W while a page's box is open: the box ends as cancelled and the tab closes with it."""

    def open_box_then_close(self, script, only_tab):
        page = self.server.add_page("box.html", "Box page", '<button onclick="%s">go</button>' % script,
                                    BUTTON_STYLE)
        if only_tab:
            self.start(page)
        else:
            self.start()
            self.wait_caption("网址导航")
            self.open_address(page, keys="ctrl+Return")
            self.wait_page_title(page, "Box page")
            self.program.key("ctrl+2")
        self.wait_caption("Box page")
        self.click_page()
        box = wait_until(lambda: next(iter(self.program.dialogs()), None), "the page's box")
        self.program.focus(box)
        self.program.key("ctrl+w")
        wait_until(lambda: not self.program.dialogs(), "the box to end with its tab")
        return page

    def test_ctrl_w_under_alert_with_two_tabs(self):
        self.open_box_then_close("alert('hi')", only_tab=False)
        self.wait_pages([(self.navigation_page(), "网址导航")])
        self.assertTrue(stays(self.program.running, 2))

    def test_ctrl_w_under_confirm_with_two_tabs(self):
        self.open_box_then_close("confirm('sure?')", only_tab=False)
        self.wait_pages([(self.navigation_page(), "网址导航")])
        self.assertTrue(stays(self.program.running, 2))

    def test_ctrl_w_under_alert_on_only_tab(self):
        self.open_box_then_close("alert('hi')", only_tab=True)
        # The last tab closed: the window closes and the program ends normally.
        self.assertEqual(self.program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
