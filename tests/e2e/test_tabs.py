"""The tab strip and the compatibility engine's tabs under real mouse and keys: fast clicks on two
tabs switch without closing, a middle or Ctrl click on a link of a compatibility tab opens a new
tab, Ctrl+W ends a page that shows boxes in a loop, and a tab moved back to Chromium after an
automatic switch shows the page of its address."""

import harness
from harness import BrowserTest, stays, wait_until

# Centre of the n-th tab of the strip (tabs are 178 pixels wide from x 4), and the empty strip.
TAB_Y = 105
EMPTY_STRIP = (900, TAB_Y)
# The whole page is one link or one button: a click anywhere in the page hits it.
FILL = "position:fixed;left:0;top:0;width:100%;height:100%;display:block"


def tab_centre(index):
    return (4 + index * 178 + 89, TAB_Y)


def switch_to_compatibility_engine(test, host):
    """Clicks the engine icon and waits until the data file keeps the host for the compatibility
    engine (Chromium keeps its hidden page, so its page list does not tell)."""
    test.program.click(*harness.ENGINE_ICON)
    wait_until(lambda: [row for row in test.program.query("SELECT domain, kernel FROM qb_domain_kernel")
                        if row[0].startswith(host) and row[1] == 1], "the switch of " + host)


class TabStripClicks(BrowserTest):
    def test_fast_clicks_on_two_tabs_switch_and_double_click_closes(self):
        expected = self.start_with_tabs("One", "Two")
        one, two = tab_centre(1), tab_centre(2)
        # Two clicks within the double-click time, on two different tabs: the second one is shown.
        self.program.xdotool("mousemove", "--sync", *tab_centre(0), "click", 1,
                             "mousemove", "--sync", *one, "click", 1)
        self.wait_caption("One")
        self.assertTrue(stays(lambda: len(self.program.pages()) == 3, 2), self.program.pages())
        # A double click on one tab closes it.
        self.program.xdotool("mousemove", "--sync", *two, "click", "--repeat", 2, "--delay", 80, 1)
        self.wait_pages([page for page in expected if page[1] != "Two"])


class CompatibilityTabs(BrowserTest):
    def compatibility_page(self, name, title, body):
        """A page titled title only in the compatibility engine (in Chromium: "title (Chromium)"),
        so that its caption tells that the engine has loaded it."""
        script = "<script>if (!/QtWebEngine/.test(navigator.userAgent)) document.title = '%s';</script>" % title
        return self.server.add_page(name, title + " (Chromium)", body + script)

    def start_in_compatibility_engine(self, page, title):
        """Starts on the page, moves its tab to the compatibility engine and waits for it there."""
        self.start(page)
        self.wait_pages([(page, title + " (Chromium)")])
        switch_to_compatibility_engine(self, "127.0.0.1")
        self.wait_caption(title)

    def link_page(self, name, target):
        return self.compatibility_page(name, "Links", '<a href="%s" style="%s">go</a>' % (target, FILL))

    def test_middle_click_on_link_opens_new_tab(self):
        target = self.server.add_page("middle-target.html", "Middle target")
        self.start_in_compatibility_engine(self.link_page("middle.html", target), "Links")
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE, "click", 2)
        self.wait_caption("Middle target")
        # The page of the link is still open in the first tab.
        self.program.key("ctrl+1")
        self.wait_caption("Links")

    def test_ctrl_click_on_link_opens_background_tab(self):
        target = self.server.add_page("ctrl-target.html", "Ctrl target")
        self.start_in_compatibility_engine(self.link_page("ctrl.html", target), "Links")
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE, "keydown", "ctrl", "click", 1,
                             "keyup", "ctrl")
        self.assertTrue(stays(lambda: self.program.caption() == "Links" + harness.CAPTION_SUFFIX, 2))
        self.program.key("ctrl+2")
        self.wait_caption("Ctrl target")

    def test_ctrl_w_ends_endless_boxes_and_closes_tab(self):
        script = "for (;;) alert('again');"
        page = self.compatibility_page("boxes.html", "Boxes",
                                       '<button style="%s" onclick="%s">go</button>' % (FILL, script))
        self.start()
        self.wait_caption("网址导航")
        self.open_address(page, keys="ctrl+Return")
        self.wait_page_title(page, "Boxes (Chromium)")
        switch_to_compatibility_engine(self, "127.0.0.1")
        self.wait_caption("Boxes")
        self.click_page()
        box = wait_until(lambda: next(iter(self.program.dialogs()), None), "the page's box")
        self.program.focus(box)
        self.program.key("ctrl+w")
        # Answered once, the box does not come back and the tab closes.
        self.program.focus(box)
        self.program.key("Return")
        self.wait_caption("网址导航")
        self.assertTrue(stays(lambda: not self.program.dialogs(), 2), self.program.dialogs())
        self.assertTrue(self.program.running())


class SwitchBack(BrowserTest):
    def test_switch_back_after_automatic_switch_shows_the_address(self):
        port = self.server.port
        remembered = "http://localhost:%d/remember.html" % port
        self.server.add_page("remember.html", "Remember")
        # The target's title is set by a script at its end, sent slowly: Chromium leaves the page
        # for the compatibility engine long before it is complete.
        self.server.add_page("slow.html", "Slow", "x" * 3000 + "<script>document.title = 'Complete'</script>")
        target = "http://localhost:%d/slow.html?rate=1500" % port
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
