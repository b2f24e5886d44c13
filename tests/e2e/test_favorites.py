"""Favorites: the five default favorites on a fresh data file, adding the current page (star
button and Ctrl+D) at the bar's end, hiding and showing the bar with Ctrl+B."""

import harness
from harness import BrowserTest, stays, wait_until

# The favorites bar's row (under the tool bar, left of the tools; the window is maximised), the
# height of its icons' middle, and the star at the address bar's right end.
BAR = (64, 60, 900, 83)
ICON_ROW = 71
STAR = (1031, 43)
BACKGROUND = (251, 251, 251)
DEFAULT_COUNT = 5


def is_blue(pixel):
    red, green, blue = pixel
    return blue > red + 60


def icon_count(shot):
    """Default page icons on the bar: groups of blue pixels along the icons' middle row."""
    count, last = 0, None
    for x in range(BAR[0], BAR[2]):
        if is_blue(shot.pixel(x, ICON_ROW)):
            if last is None or x - last > 18:
                count += 1
            last = x
    return count


def bar_end(shot):
    """The rightmost column of the bar's row that is not background: where its last button ends."""
    for x in range(BAR[2] - 1, BAR[0] - 1, -1):
        if any(shot.pixel(x, y) != BACKGROUND for y in range(BAR[1], BAR[3])):
            return x
    return None


class Favorites(BrowserTest):
    def start_on_page(self, title):
        page = self.server.add_page("fav.html", title)
        self.start(page)
        self.wait_caption(title)
        return page

    def add_with(self, press):
        """Adds the shown page with the given input and confirms the proposed name with Enter."""
        before = self.program.screenshot()
        press()
        dialog = wait_until(lambda: self.program.dialogs(), "the add-to-favorites dialog")[0]
        self.program.focus(dialog)
        self.program.key("Return")
        wait_until(lambda: not self.program.dialogs(), "the dialog to close")
        return before

    def check_added(self, page, title, before):
        wait_until(lambda: self.program.query("SELECT fav_name, fav_url FROM qb_fav") == [(title, page)],
                   "the favorite with the page's title and address in the data file")
        # One more button, after the last one that was there.
        wait_until(lambda: bar_end(self.program.screenshot()) > bar_end(before), "a new button at the bar's end")
        self.assertEqual(icon_count(self.program.screenshot()), icon_count(before) + 1)

    def test_default_favorites_on_fresh_data_file(self):
        self.start()
        self.wait_caption("网址导航")
        wait_until(lambda: icon_count(self.program.screenshot()) == DEFAULT_COUNT, "the five default favorites")
        self.assertEqual(self.program.query("SELECT COUNT(*) FROM qb_fav"), [(0,)])

    def test_star_adds_the_page_at_the_bar_end(self):
        page = self.start_on_page("Starred page")
        before = self.add_with(lambda: self.program.click(*STAR))
        self.check_added(page, "Starred page", before)

    def test_ctrl_d_adds_the_page_at_the_bar_end(self):
        page = self.start_on_page("Favorite page")
        before = self.add_with(lambda: self.program.key("ctrl+d"))
        self.check_added(page, "Favorite page", before)

    def test_ctrl_b_hides_and_shows_the_bar(self):
        self.start()
        self.wait_caption("网址导航")
        wait_until(lambda: icon_count(self.program.screenshot()) == DEFAULT_COUNT, "the bar")
        self.program.key("ctrl+b")
        wait_until(lambda: bar_end(self.program.screenshot()) is None, "the bar hidden")
        self.assertTrue(stays(lambda: bar_end(self.program.screenshot()) is None, 1))
        self.program.key("ctrl+b")
        wait_until(lambda: icon_count(self.program.screenshot()) == DEFAULT_COUNT, "the bar shown again")


if __name__ == "__main__":
    harness.main()
