"""Bringing pages back after the program was killed: the restore offer of the next start."""

import harness
from harness import BrowserTest, wait_until

PANEL_COLOUR = harness.RESTORE_PANEL_COLOUR


def restore_yes_button(shot):
    """The centre of the offer's "是" button: the offer is the peach bar across the window, its
    buttons "是" and "否" sit at its right end, "否" last."""
    rows = shot.rows_of_colour(PANEL_COLOUR, 5)
    if not rows:
        return None
    y = (rows[0] + rows[-1]) // 2
    segments, inside = [], False
    for x in range(shot.width - 6, 0, -1):
        button = shot.pixel(x, y) != PANEL_COLOUR
        if button and not inside:
            segments.append([x, x])
        if button:
            segments[-1][0] = x
        inside = button
    buttons = [s for s in segments if s[1] - s[0] > 20]
    if len(buttons) < 2:
        return None
    left, right = buttons[1]
    return ((left + right) // 2, y)


class RestoreOffer(BrowserTest):
    def restore_after(self, kill):
        """Three pages open (navigation page, A, B), the program ended, started again and the
        offer answered "是": exactly those three pages come back, the first at once, the others
        (restored asleep) once their tabs are shown."""
        expected = self.start_with_tabs("Page A", "Page B")
        if kill:
            # The page log follows the open pages while browsing; kill once it holds them.
            urls = sorted(url for url, _ in expected)
            wait_until(lambda: sorted(r[0] for r in self.program.query("SELECT url FROM qb_page_log")) == urls,
                       "the open pages in the page log")

        self.restart(kill=kill)
        yes = wait_until(lambda: restore_yes_button(self.program.screenshot()), "the restore offer")
        self.program.click(*yes)
        self.wait_pages(expected[:1])
        self.program.key("ctrl+Tab", "ctrl+Tab")
        self.wait_pages(expected)
        wait_until(lambda: restore_yes_button(self.program.screenshot()) is None, "the offer to go")

    def test_after_closing(self):
        self.restore_after(kill=False)

    def test_after_kill(self):
        self.restore_after(kill=True)


if __name__ == "__main__":
    harness.main()
