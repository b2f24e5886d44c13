"""A page's alert box blocks only its own tab, in both engines: the tab's close button ends the box
and closes the tab, the other tabs stay usable, and boxes of two tabs open at once unwind in order."""

import harness
from harness import BrowserTest, stays, tab_centre, tab_close_button, wait_until
from test_tabs import switch_to_compatibility_engine

BUTTON_STYLE = "<style>button{position:fixed;left:0;top:0;width:100%;height:100%}</style>"
# Titled only where the page runs in the compatibility engine, so its caption tells the switch.
COMPAT_TITLE = "<script>if (!/QtWebEngine/.test(navigator.userAgent)) document.title = '%s';</script>"


class PageBoxes(BrowserTest):
    def open_box_tab(self, number, script, compatibility=False):
        """A new tab (number counted from 0) whose page runs script on a click; it becomes current,
        gets clicked, and its box is awaited. Returns the page's address."""
        title = "Box %d" % number
        body = '<button onclick="%s">go</button>' % script + (COMPAT_TITLE % title if compatibility else "")
        page = self.server.add_page("box%d.html" % number, title + (" (Chromium)" if compatibility else ""),
                                    body, BUTTON_STYLE)
        self.open_address(page, keys="ctrl+Return")
        self.program.click(*tab_centre(number))
        if compatibility:
            # A site once moved to the compatibility engine opens there at once.
            captions = (title + harness.CAPTION_SUFFIX, title + " (Chromium)" + harness.CAPTION_SUFFIX)
            wait_until(lambda: self.program.caption() in captions, "the page of " + title)
            if self.program.caption() == captions[1]:
                switch_to_compatibility_engine(self, "127.0.0.1")
        self.wait_caption(title)
        self.click_page()
        wait_until(lambda: len(self.program.dialogs()) == 1, "the box of " + title)
        return page

    def close_tab_under_box(self, compatibility):
        self.start()
        self.wait_caption("网址导航")
        self.open_box_tab(1, "alert('hi'); document.title = 'answered'", compatibility)
        self.program.click(*tab_close_button(1))
        wait_until(lambda: not self.program.dialogs(), "the box to end")
        self.wait_caption("网址导航")
        self.wait_pages([(self.navigation_page(), "网址导航")])
        self.assertTrue(stays(self.program.running, 1))

    def test_close_button_ends_box_and_closes_chromium_tab(self):
        self.close_tab_under_box(compatibility=False)

    def test_close_button_ends_box_and_closes_compatibility_tab(self):
        self.close_tab_under_box(compatibility=True)

    def test_other_tab_usable_while_box_is_up(self):
        self.start()
        self.wait_caption("网址导航")
        self.open_box_tab(1, "alert('hi'); document.title = 'answered'", compatibility=True)
        # Another tab: the box hides with its tab, the other tab loads a page typed in.
        self.program.click(*tab_centre(0))
        self.wait_caption("网址导航")
        wait_until(lambda: not self.program.dialogs(), "the box hidden with its tab")
        other = self.server.add_page("other.html", "Other page")
        self.open_address(other)
        self.wait_caption("Other page")
        # Back to the box's tab: the box shows again and its answer reaches the page.
        self.program.click(*tab_centre(1))
        box = wait_until(lambda: next(iter(self.program.dialogs()), None), "the box shown again")
        self.program.focus(box)
        self.program.key("Return")
        self.wait_caption("answered")

    def test_boxes_of_two_tabs_unwind_in_order(self):
        self.start()
        self.wait_caption("网址导航")
        self.open_box_tab(1, "alert('one'); document.title = 'one answered'", compatibility=True)
        # While the first box waits, a second tab shows its own box (a loop inside the first's).
        self.open_box_tab(2, "alert('two'); document.title = 'two answered'", compatibility=True)
        # The first tab closed with the middle button: it goes once the second box has returned.
        self.program.xdotool("mousemove", "--sync", *tab_centre(1), "click", 2)
        self.program.focus(self.program.dialogs()[0])
        self.program.key("Return")
        self.wait_caption("two answered")
        wait_until(lambda: not self.program.dialogs(), "both boxes gone")
        self.program.click(*tab_centre(1))  # the second tab moved into the first's place
        self.wait_caption("two answered")
        self.program.click(*tab_centre(0))
        self.wait_caption("网址导航")
        self.assertTrue(stays(lambda: len(self.program.windows()) == 1, 1))

    def test_program_ends_normally_while_box_is_up(self):
        self.start()
        self.wait_caption("网址导航")
        self.open_box_tab(1, "alert('hi')")
        self.program.process.terminate()
        self.assertEqual(self.program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
