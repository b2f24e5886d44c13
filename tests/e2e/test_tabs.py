"""Tabs under real mouse and keys, in the tab strip and in compatibility engine tabs."""

import harness
from harness import FILL, BrowserTest, stays, tab_centre, wait_until


def switch_to_compatibility_engine(test, host):
    """Clicks the engine icon; the data file tells the switch (Chromium's page list keeps the page)."""
    test.program.click(*harness.ENGINE_ICON)
    wait_until(lambda: [row for row in test.program.query("SELECT domain, kernel FROM qb_domain_kernel")
                        if row[0].startswith(host) and row[1] == 1], "the switch of " + host)


class TabStripClicks(BrowserTest):
    def test_fast_clicks_on_two_tabs_switch_and_double_click_closes(self):
        expected = self.start_with_tabs("One", "Two")
        # Two clicks within the double-click time on two different tabs: the second one is shown.
        self.program.xdotool("mousemove", "--sync", *tab_centre(0), "click", 1,
                             "mousemove", "--sync", *tab_centre(1), "click", 1)
        self.wait_caption("One")
        self.assertTrue(stays(lambda: len(self.program.pages()) == 3, 2), self.program.pages())
        self.program.xdotool("mousemove", "--sync", *tab_centre(2), "click", "--repeat", 2, "--delay", 80, 1)
        self.wait_pages([page for page in expected if page[1] != "Two"])


class CompatibilityTabs(BrowserTest):
    def start_in_compatibility_engine(self, name, title, body):
        """Starts on a page titled title only in the compatibility engine and moves it there."""
        script = "<script>if (!/QtWebEngine/.test(navigator.userAgent)) document.title = '%s';</script>"
        page = self.server.add_page(name, title + " (Chromium)", body + script % title)
        self.start(page)
        self.wait_pages([(page, title + " (Chromium)")])
        switch_to_compatibility_engine(self, "127.0.0.1")
        self.wait_caption(title)

    def test_middle_and_ctrl_click_on_link_open_new_tabs(self):
        target = self.server.add_page("target.html", "Target")
        self.start_in_compatibility_engine("links.html", "Links", '<a href="%s" style="%s">go</a>' % (target, FILL))
        # Ctrl+click: in the background.
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE, "keydown", "ctrl", "click", 1,
                             "keyup", "ctrl")
        self.assertTrue(stays(lambda: self.program.caption() == "Links" + harness.CAPTION_SUFFIX, 2))
        self.program.key("ctrl+2")
        self.wait_caption("Target")
        # Middle click: shown at once, the page of the link stays in its tab.
        self.program.key("ctrl+1")
        self.wait_caption("Links")
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE, "click", 2)
        self.wait_caption("Target")
        self.program.key("ctrl+1")
        self.wait_caption("Links")

    def test_ctrl_w_ends_endless_boxes_and_closes_tab(self):
        button = '<button style="%s" onclick="for (;;) alert(1)">go</button>' % FILL
        self.start_in_compatibility_engine("boxes.html", "Boxes", button)
        self.click_page()
        box = wait_until(lambda: next(iter(self.program.dialogs()), None), "the page's box")
        self.program.focus(box)
        self.program.key("ctrl+w")
        # The box ends, no other comes back and the only tab closes: the program ends.
        self.assertEqual(self.program.wait_exit(), 0)


class SwitchBack(BrowserTest):
    def test_switch_back_after_automatic_switch_shows_the_address(self):
        remembered = "http://localhost:%d/remember.html" % self.server.port
        self.server.add_page("remember.html", "Remember")
        # Sent slowly, titled at its end: Chromium leaves the page long before it is complete.
        self.server.add_page("slow.html", "Slow", "x" * 3000 + "<script>document.title = 'Complete'</script>")
        target = "http://localhost:%d/slow.html?rate=1500" % self.server.port
        self.start(remembered)
        self.wait_pages([(remembered, "Remember")])
        switch_to_compatibility_engine(self, "localhost")
        links = self.server.add_page("to-slow.html", "To slow", '<a href="%s" style="%s">go</a>' % (target, FILL))
        self.open_address(links, keys="ctrl+Return")
        self.wait_page_title(links, "To slow")
        self.click_page()
        self.wait_caption("Complete")  # shown by the compatibility engine
        self.program.click(*harness.ENGINE_ICON)
        self.wait_page_title(target, "Complete")


if __name__ == "__main__":
    harness.main()
