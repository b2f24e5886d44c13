"""Settings and housekeeping from outside: the options page reached by typing about:config, a
home page set there in effect after a restart; the history manager opened from the menu, one
visit deleted in it."""
import harness
from harness import BrowserTest, wait_until, stays

# Fixed points of the maximised window on the 1366 x 900 screen.
HOME_EDIT = (700, 209)   # the home page edit of the options page's first section
TOOLS_MENU = (1209, 15)  # "工具" in the main menu


class Settings(BrowserTest):
    def home_setting(self):
        rows = self.program.query("SELECT cfg_value FROM qb_config WHERE cfg_key = 3")
        return rows[0][0] if rows else None

    def test_home_page_set_in_options_is_opened_after_restart(self):
        home = self.server.add_page("home.html", "My home page")
        self.start()
        self.open_address("about:config")
        self.wait_caption("选项设置")
        self.program.click(*HOME_EDIT)
        self.program.key("ctrl+a")
        self.program.type(home)
        self.program.key("Tab")  # leaving the edit stores it
        wait_until(lambda: self.home_setting() == home, "the home page in the data file")
        self.restart()
        wait_until(lambda: any(url == home for url, _ in self.program.pages()), "the home page opened")

    def test_history_manager_from_the_menu_deletes_a_visit(self):
        first = self.server.add_page("first.html", "First visit")
        second = self.server.add_page("second.html", "Second visit")
        self.start(first)
        self.wait_caption("First visit")
        self.open_address(second)
        self.wait_caption("Second visit")
        visits = lambda: sorted(url for (url,) in self.program.query("SELECT site_url FROM qb_history"))
        wait_until(lambda: first in visits() and second in visits(), "both visits recorded")
        before = visits()
        self.program.click(*TOOLS_MENU)
        # Down walks the enabled items: 下载管理..., 清除浏览痕迹..., 浏览历史管理...
        self.program.key("Down", "Down", "Down", "Return")
        wait_until(lambda: any(w["name"] == "浏览历史管理" for w in self.program.dialogs()),
                   "the history manager")
        manager = [w for w in self.program.dialogs() if w["name"] == "浏览历史管理"][0]
        self.program.focus(manager)
        # The newest visit is selected once the rows are in (a moment after the window shows);
        # Delete deletes it, and only it.
        self.assertTrue(stays(lambda: manager in self.program.dialogs(), 1))
        self.program.key("Delete")
        wait_until(lambda: len(visits()) == len(before) - 1, "one visit deleted from the data file")
        self.assertTrue(stays(lambda: len(visits()) == len(before) - 1, 1))


if __name__ == "__main__":
    harness.main()
