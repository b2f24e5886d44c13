"""Faults a user met in the first hour, judged from outside: Shift+Delete and Enter in a text field
clear nothing; the boss key hides every window of the program and brings each back; the favorites
bar after its menu; the history manager's widened time column and its steps over empty days; Esc in
the bank window and Ctrl+C in the calculator."""

import time

import harness
from harness import BrowserTest, stays, wait_until
import test_favorites
from test_services import BANK_KEYS, TOOLS_MENU, SiteToolsSteps
from test_settings import CACHE_CLEANER, HISTORY_EARLIER, HISTORY_FIRST_ROW, HISTORY_MANAGER, HistoryManagerSteps, \
    double_click_in
from test_tools import CalculatorSteps

TIME_COLUMN_EDGE = harness.HISTORY_MANAGER_POINTS["time column edge"]
# A page whose text field fills it: a click on the page puts the keyboard into the field.
FIELD_BODY = '<input value="abc" style="%s">' % harness.FILL


class ShiftDelete(BrowserTest):
    def test_shift_delete_then_enter_in_text_fields_clears_nothing(self):
        page = self.server.add_page("field.html", "Field page", FIELD_BODY)
        self.start(page)
        self.wait_caption("Field page")
        wait_until(lambda: page in self.visits(), "the visit recorded")
        before = self.visits()
        # In a field of the page Shift+Delete deletes text; Enter then goes to the field.
        self.click_page()
        self.program.key("End", "shift+Delete", "Return")
        self.assertTrue(stays(lambda: self.program.window_named(CACHE_CLEANER) is None, 2), "page field")
        # The same in the address bar.
        self.focus_address_bar()
        self.program.key("shift+Delete", "Return")
        self.assertTrue(stays(lambda: self.program.window_named(CACHE_CLEANER) is None, 3))
        # Every visit is still there (Enter in the emptied bar may add one).
        self.assertLessEqual(set(before), set(self.visits()))

    def test_cleaner_opens_on_the_list_and_enter_clears_nothing(self):
        page = self.server.add_page("plain.html", "Plain page")
        self.start(page)
        self.wait_caption("Plain page")
        wait_until(lambda: page in self.visits(), "the visit recorded")
        before = self.visits()
        self.click_page()
        self.program.key("shift+Delete")
        cleaner = self.program.wait_window(CACHE_CLEANER)
        self.program.focus(cleaner)
        self.program.key("Return")
        self.assertTrue(stays(lambda: self.program.window_named(CACHE_CLEANER) is not None, 2))
        self.assertEqual(self.visits(), before)


class BossKey(BrowserTest):
    def test_boss_key_hides_every_window_and_brings_each_back(self):
        self.program.set_config(5, 1)
        self.program.set_config(6, 0x8000 + ord("X"))  # Alt+X
        self.start()
        self.wait_caption("网址导航")
        # The download manager (not modal) from the tools menu, then the history manager (modal).
        self.program.click(*TOOLS_MENU)
        self.program.key("Down", "Return")
        wait_until(lambda: len(self.program.dialogs()) == 1, "the download manager")
        self.program.click(*TOOLS_MENU)
        self.program.key("Down", "Down", "Down", "Return")
        self.program.wait_window(HISTORY_MANAGER)
        shown = sorted(w["name"] for w in self.program.windows())
        self.program.key("alt+x")
        wait_until(lambda: not self.program.windows(), "no window of the program on screen")
        self.program.key("alt+x")
        wait_until(lambda: sorted(w["name"] for w in self.program.windows()) == shown, "every window back")
        # The history manager still works: it was hidden, not closed.
        self.assertTrue(stays(lambda: self.program.window_named(HISTORY_MANAGER) is not None, 1))


class HistoryManagerWindow(HistoryManagerSteps):
    def test_stepping_earlier_passes_over_empty_days(self):
        old = self.server.add_page("old.html", "Old visit")
        recent = self.server.add_page("recent.html", "Recent visit")
        self.program.add_visit(old, "Old visit", time.time() - 7 * 86400)
        self.start(recent)
        self.wait_caption("Recent visit")
        wait_until(lambda: self.program.query("SELECT 1 FROM qb_history WHERE site_url = ?", (recent,)),
                   "the recent visit recorded")
        manager = self.open_manager()
        latest = self.wait_first_row_changed(manager, None)
        # Two empty two-day windows lie between: one step reaches the old visit.
        self.program.click_in(manager, HISTORY_EARLIER)
        self.wait_first_row_changed(manager, latest)
        double_click_in(self.program, manager, HISTORY_FIRST_ROW)
        self.wait_page_title(old, "Old visit")

    def test_time_column_widened_by_its_header(self):
        self.start()
        self.wait_caption("网址导航")
        manager = self.open_manager()
        self.wait_first_row_changed(manager, None)
        # The title's caption "标题" sits right of the time column's edge; dragged 100 pixels
        # further, the caption follows.
        edge, header = manager["x"] + TIME_COLUMN_EDGE[0], manager["y"] + TIME_COLUMN_EDGE[1]
        self.assertTrue(self.dark_in(edge + 2, header, edge + 40))
        self.program.drag((edge, header), (edge + 100, header))
        wait_until(lambda: self.dark_in(edge + 102, header, edge + 140), "the title caption moved right")
        self.assertFalse(self.dark_in(edge + 2, header, edge + 40))

    def dark_in(self, left, y, right):
        """Caption text (dark pixels) in the header's row between left and right."""
        shot = self.program.screenshot()
        return any(sum(shot.pixel(x, y + dy)) < 200 for x in range(left, right) for dy in range(-5, 6))


class ToolWindowKeys(SiteToolsSteps, CalculatorSteps):
    def test_escape_closes_the_bank_window(self):
        self.start()
        self.wait_caption("网址导航")
        bank = self.open_from_menu(TOOLS_MENU, BANK_KEYS, "安全网银")
        self.wait_loaded(bank, self.site_page("netbank.html"), "安全网银")
        # The page has the keyboard after a click on its empty part.
        self.program.click(bank["x"] + harness.SITE_PAGE_CORNER[0], bank["y"] + harness.SITE_PAGE_CORNER[1])
        self.program.key("Escape")
        wait_until(lambda: not self.program.window_named("安全网银"), "the bank window to close")

    def test_ctrl_c_copies_the_calculator_result(self):
        self.open_calculator()
        self.program.type("1+2*3=")
        self.program.set_clipboard("before")
        self.program.key("ctrl+c")
        wait_until(lambda: self.program.clipboard() == "7", "the result on the clipboard")


class FavoritesBarMenu(BrowserTest):
    def first_button(self):
        left = test_favorites.icon_lefts(self.program.screenshot())[0]
        return left - 4, harness.FAVORITES_BAR[1], left + 60, harness.FAVORITES_BAR[3]

    def test_button_unlit_after_its_menu_entry_was_clicked(self):
        self.start()
        self.wait_caption("网址导航")
        wait_until(lambda: test_favorites.icon_count(self.program.screenshot()) == test_favorites.DEFAULT_COUNT,
                   "the default favorites on the bar")
        button = self.first_button()
        unlit = self.program.screenshot().region(*button)
        self.program.right_click(button[0] + 28, harness.FAVORITES_ICON_ROW)
        menu = wait_until(lambda: next(iter(self.program.dialogs()), None), "the context menu")
        # "复制", the second of six entries and a separator, clicked with the mouse.
        self.program.set_clipboard("before")
        self.program.click(menu["x"] + 40, menu["y"] + 4 + (menu["height"] - 16) * 3 // 12)
        wait_until(lambda: self.program.clipboard() not in ("", "before"), "the address copied")
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE)
        wait_until(lambda: self.program.screenshot().region(*button) == unlit, "the button unlit")

if __name__ == "__main__":
    harness.main()
