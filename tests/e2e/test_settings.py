"""Settings and housekeeping from outside. The options page (from the tools menu): the home page,
the start mode, the download folder chosen in the folder dialog (an unwritable one refused) and
the boss key, each in the data file and in effect after a restart. The history manager: one visit
deleted, stepping to an earlier two-day window and back, clearing everything (no suggestion and
no closed page left). The cache cleaner clearing the cookies of both engines. The update notice
from a local update host, and no request without one."""

import base64
import json
import os
import time

import harness
from harness import BrowserTest, stays, wait_until
from test_restore import PANEL_COLOUR, restore_yes_button

from harness import CLEANER, HISTORY_MANAGER_POINTS as HISTORY, OPTIONS, OPTIONS_ITEM, TOOLS_MENU

OPEN_EXIT_PAGE, OPEN_HOME, HOME_EDIT, ENABLE_BOSS_KEY, BOSS_KEY_EDIT = (OPTIONS[k] for k in (
    "open exit pages", "open home", "home edit", "enable boss key", "boss key edit"))
DOWNLOAD_SECTION, SAVE_PATH, DOWNLOAD_PATH_EDIT, CHANGE_FOLDER = (OPTIONS[k] for k in (
    "download section", "save path", "download path edit", "change folder"))
HISTORY_CLEAR, HISTORY_LATER, HISTORY_EARLIER, HISTORY_FIRST_ROW = (HISTORY[k] for k in (
    "clear", "later", "earlier", "first row"))
CLEANER_COOKIES, CLEANER_START = CLEANER["cookies"], CLEANER["start"]

HISTORY_MANAGER = "浏览历史管理"
CACHE_CLEANER = "清理上网痕迹"
FOLDER_DIALOG = "请选择目录..."
MESSAGE_BOX = "Quellon"


def double_click_in(program, window, point):
    program.xdotool("mousemove", "--sync", window["x"] + point[0], window["y"] + point[1])
    program.xdotool("click", "--repeat", 2, "--delay", 80, 1)


def config(program, key):
    rows = program.query("SELECT cfg_value FROM qb_config WHERE cfg_key = ?", (key,))
    return rows[0][0] if rows else None


def notice_no_button(shot):
    """The centre of the notice strip's "否" button: right of "是", past a run of the strip's colour."""
    yes = restore_yes_button(shot)
    if not yes:
        return None
    x, y = yes
    while x < shot.width and shot.pixel(x, y) != PANEL_COLOUR:
        x += 1
    while x < shot.width and shot.pixel(x, y) == PANEL_COLOUR:
        x += 1
    left = x
    while x < shot.width and shot.pixel(x, y) != PANEL_COLOUR:
        x += 1
    return ((left + x) // 2, y) if x < shot.width else None


def longest_dark_run(shot):
    """The longest run of dark pixels across the middle of the notice strip (its message)."""
    rows = shot.rows_of_colour(PANEL_COLOUR, 5)
    if not rows:
        return 0
    y = (rows[0] + rows[-1]) // 2
    longest = run = 0
    for x in range(shot.width):
        run = run + 1 if max(shot.pixel(x, y)) < 128 else 0
        longest = max(longest, run)
    return longest


class Options(BrowserTest):
    def open_options(self):
        # Through the menu: an address typed while the start page still loads can be replaced
        # by the page's own address before Enter reaches it.
        self.program.focus()
        self.program.click(*TOOLS_MENU)
        wait_until(lambda: any(w["x"] > TOOLS_MENU[0] - 100 and w["y"] < 40 for w in self.program.dialogs()),
                   "the tools menu")
        self.program.click(*OPTIONS_ITEM)
        self.wait_caption("选项设置")

    def leave_control(self):
        self.program.key("Tab")  # leaving a control stores its value

    def test_home_page_set_in_options_is_opened_after_restart(self):
        home = self.server.add_page("home.html", "My home page")
        self.start()
        self.open_options()
        self.program.click(*HOME_EDIT)
        self.program.key("ctrl+a")
        self.program.type(home)
        self.leave_control()
        wait_until(lambda: config(self.program, 3) == home, "the home page in the data file")
        self.restart()
        wait_until(lambda: any(url == home for url, _ in self.program.pages()), "the home page opened")

    def test_start_mode_decides_whether_the_last_pages_are_offered(self):
        # "主页": the next start opens the home page and offers nothing.
        self.start()
        self.wait_caption("网址导航")
        wait_until(lambda: self.program.query("SELECT url FROM qb_page_log"), "the open page in the page log")
        self.open_options()
        self.program.click(*OPEN_HOME)
        wait_until(lambda: config(self.program, 2) == "1", "start mode 1 in the data file")
        self.restart()
        self.wait_caption("网址导航")
        self.assertTrue(stays(lambda: restore_yes_button(self.program.screenshot()) is None, 3))

        # "上次退出时未关闭的页面": the next start offers the pages open at the end.
        self.open_options()
        self.program.click(*OPEN_EXIT_PAGE)
        wait_until(lambda: config(self.program, 2) == "0", "start mode 0 in the data file")
        self.restart()
        wait_until(lambda: restore_yes_button(self.program.screenshot()), "the restore offer")

    def choose_folder(self, folder):
        self.program.focus()
        self.program.click(*CHANGE_FOLDER)
        dialog = self.program.wait_window(FOLDER_DIALOG)
        self.program.focus(dialog)
        self.program.key("ctrl+a")
        self.program.type(folder)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named(FOLDER_DIALOG), "the folder dialog to close")

    def shown_download_folder(self):
        marker = "(nothing copied %f)" % time.monotonic()
        self.program.set_clipboard(marker)
        self.program.click(*DOWNLOAD_PATH_EDIT)
        self.program.key("ctrl+a", "ctrl+c")
        return wait_until(lambda: self.program.clipboard() != marker and self.program.clipboard(),
                          "the download folder on the clipboard", 10)

    def test_download_folder_from_the_folder_dialog(self):
        folder = os.path.join(self.program.folder, "my downloads")
        os.makedirs(folder)
        with open(os.path.join(self.server.root, "file.zip"), "wb") as served:
            served.write(os.urandom(4096))
        self.start()
        self.open_options()
        self.program.click(*DOWNLOAD_SECTION)
        self.program.click(*SAVE_PATH)
        wait_until(lambda: config(self.program, 7) == "1", "folder mode 1 in the data file")
        self.choose_folder(folder)
        wait_until(lambda: config(self.program, 8) == folder + "/", "the folder in the data file")

        # A folder nobody can write to is refused with a message; the chosen one stays.
        self.choose_folder("/proc")
        box = self.program.wait_window(MESSAGE_BOX)
        self.program.focus(box)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named(MESSAGE_BOX), "the message to close")
        self.program.focus()
        self.assertEqual(self.shown_download_folder(), folder + "/")
        self.assertEqual(config(self.program, 8), folder + "/")

        # After a restart a download goes into the chosen folder.
        page = self.server.add_page("link.html", "Link page",
                                    '<a href="file.zip" style="display:block;height:100vh">file</a>')
        self.restart(page)
        self.wait_caption("Link page")
        self.click_page()
        dialog = self.program.wait_window("新建下载任务")
        self.program.focus(dialog)
        self.program.key("Return")
        wait_until(lambda: os.path.exists(os.path.join(folder, "file.zip")), "the file in the chosen folder")

    def set_boss_key(self, *keys):
        self.program.click(*BOSS_KEY_EDIT)
        self.program.key(*keys)
        self.leave_control()

    def boss_key_toggles_the_window(self):
        self.program.key("alt+x")
        wait_until(lambda: self.program.main_window() is None, "the window hidden by the boss key")
        self.program.key("alt+x")
        wait_until(self.program.main_window, "the window shown by the boss key")

    def test_boss_key_typed_into_its_edit(self):
        self.start()
        self.open_options()
        self.program.click(*ENABLE_BOSS_KEY)
        wait_until(lambda: config(self.program, 5) == "1", "the boss key enabled in the data file")
        self.set_boss_key("alt+x")
        wait_until(lambda: config(self.program, 6) == str(0x8000 + ord("X")), "Alt+X in the data file")
        self.boss_key_toggles_the_window()

        self.restart()
        self.wait_caption("网址导航")
        self.boss_key_toggles_the_window()

        # Backspace clears it: the chord reaches the program no more. (A fresh start: without a
        # window manager, the window the boss key brought back may not count as active, and an
        # inactive window's controls get no focus-out.)
        self.restart()
        self.wait_caption("网址导航")
        self.open_options()
        self.set_boss_key("BackSpace")
        wait_until(lambda: config(self.program, 6) == "0", "no boss key in the data file")
        self.program.key("alt+x")
        self.assertTrue(stays(lambda: self.program.main_window() is not None, 2))


class HistoryManagerSteps(BrowserTest):
    """Steps shared by the scenarios on the history manager."""

    def open_manager(self):
        self.program.focus()
        self.program.key("ctrl+h")
        manager = self.program.wait_window(HISTORY_MANAGER)
        self.program.focus(manager)
        return manager

    def first_row(self, manager):
        x, y = manager["x"] + HISTORY_FIRST_ROW[0], manager["y"] + HISTORY_FIRST_ROW[1]
        return self.program.screenshot().region(x - 400, y - 6, x + 400, y + 6)

    def wait_first_row_changed(self, manager, before):
        """The first row's pixels once they differ from before and hold still (the rows are in)."""
        def settled():
            row = self.first_row(manager)
            return row != before and stays(lambda: self.first_row(manager) == row, 0.5) and row
        return wait_until(settled, "the list to show other rows")


class HistoryManager(HistoryManagerSteps):
    def test_history_manager_from_the_menu_deletes_a_visit(self):
        first = self.server.add_page("first.html", "First visit")
        second = self.server.add_page("second.html", "Second visit")
        self.start(first)
        self.wait_caption("First visit")
        self.open_address(second)
        self.wait_caption("Second visit")
        wait_until(lambda: first in self.visits() and second in self.visits(), "both visits recorded")
        before = self.visits()
        self.program.click(*TOOLS_MENU)
        # Down walks the enabled items: 下载管理..., 清除浏览痕迹..., 浏览历史管理...
        self.program.key("Down", "Down", "Down", "Return")
        manager = self.program.wait_window(HISTORY_MANAGER)
        self.program.focus(manager)
        # The newest visit is selected once the rows are in; Delete deletes it, and only it.
        self.wait_first_row_changed(manager, None)
        self.program.key("Delete")
        wait_until(lambda: len(self.visits()) == len(before) - 1, "one visit deleted from the data file")
        self.assertTrue(stays(lambda: len(self.visits()) == len(before) - 1, 1))

    def test_stepping_to_an_earlier_window_and_back(self):
        old = self.server.add_page("old.html", "Old visit")
        recent = self.server.add_page("recent.html", "Recent visit")
        three_days_ago = int(time.time()) - 3 * 86400
        self.program.add_visit(old, "Old visit", three_days_ago)
        self.start(recent)
        self.wait_caption("Recent visit")
        wait_until(lambda: recent in self.visits(), "the recent visit recorded")
        manager = self.open_manager()
        latest = self.wait_first_row_changed(manager, None)
        latest_visits = {url for (url,) in self.program.query(
            "SELECT site_url FROM qb_history WHERE create_time > ?", (three_days_ago,))}

        # "向前": the two days before; a double click opens the old visit in a new tab.
        self.program.click_in(manager, HISTORY_EARLIER)
        self.wait_first_row_changed(manager, latest)
        double_click_in(self.program, manager, HISTORY_FIRST_ROW)
        self.wait_page_title(old, "Old visit")

        # "向后": back to the latest two days, whose newest visit opens again.
        opened = sorted(url for url, _ in self.program.pages())
        earlier = self.first_row(manager)
        self.program.click_in(manager, HISTORY_LATER)
        self.wait_first_row_changed(manager, earlier)
        double_click_in(self.program, manager, HISTORY_FIRST_ROW)
        wait_until(lambda: len(self.program.pages()) == len(opened) + 1, "one more page")
        added = [url for url, _ in self.program.pages()]
        for url in opened:
            added.remove(url)
        self.assertIn(added[0], latest_visits)

    def test_clear_all_leaves_no_suggestion_and_no_closed_page(self):
        page = self.server.add_page("kept.html", "Kept page")
        closed = self.server.add_page("closed.html", "Closed page")
        self.start(page)
        self.wait_caption("Kept page")
        self.open_address(closed, keys="ctrl+Return")
        self.wait_caption("Closed page")
        self.program.key("ctrl+w")
        self.wait_caption("Kept page")
        wait_until(lambda: self.program.query("SELECT 1 FROM qb_history WHERE isclose = 1"),
                   "the closed page recorded")
        # Typing part of a visited address offers it.
        self.focus_address_bar()
        self.program.type("127.0.0.1")
        wait_until(self.suggestions_shown, "the suggestion list")
        self.program.key("Escape")

        manager = self.open_manager()
        self.wait_first_row_changed(manager, None)
        self.program.click_in(manager, HISTORY_CLEAR)
        box = self.program.wait_window(MESSAGE_BOX)  # "确定要全部删除吗？", Yes is the default
        self.program.focus(box)
        self.program.key("Return")
        wait_until(lambda: self.program.query("SELECT COUNT(*) FROM qb_history") == [(0,)],
                   "qb_history emptied")
        self.program.focus(manager)
        self.program.key("Escape")
        wait_until(lambda: not self.program.window_named(HISTORY_MANAGER), "the manager to close")

        self.program.focus()
        self.focus_address_bar()
        self.program.type("127.0.0.1")
        self.assertTrue(stays(lambda: not self.suggestions_shown(), 2))
        self.program.key("Escape")
        self.program.key("ctrl+shift+t")
        self.assertTrue(stays(lambda: len(self.program.pages()) == 1, 2), self.program.pages())


# Pages that set a cookie and show the page's cookies in their title.
SET_COOKIE = ("<script>document.cookie = 'probe=1; max-age=3600; path=/';"
              "document.title = 'cookies:' + document.cookie;</script>")
SHOW_COOKIES = "<script>document.title = 'cookies:' + document.cookie;</script>"


class CacheCleaner(BrowserTest):
    def test_clearing_cookies_empties_both_engines_stores(self):
        self.server.add_page("set.html", "set", SET_COOKIE)
        self.server.add_page("show.html", "show", SHOW_COOKIES)
        # Chromium shows the pages of 127.0.0.1; the compatibility engine those of localhost.
        chromium = lambda name: self.server.url(name)
        compatible = lambda name: "http://localhost:%d/%s" % (self.server.port, name)
        self.program.remember_compatibility_engine("localhost:%d" % self.server.port)
        self.start(chromium("set.html"))
        self.wait_page_title(chromium("set.html"), "cookies:probe=1")
        self.open_address(compatible("set.html"), keys="ctrl+Return")
        self.wait_caption("cookies:probe=1")
        self.assertNotIn(compatible("set.html"), [url for url, _ in self.program.pages()])
        # A page loaded afterwards gets the cookie in both engines.
        self.open_address(compatible("show.html"))
        self.wait_caption("cookies:probe=1")
        self.program.key("ctrl+1")
        self.open_address(chromium("show.html"))
        self.wait_page_title(chromium("show.html"), "cookies:probe=1")

        # Shift+Delete opens the cleaner from the page (in the address bar it deletes text).
        self.click_page()
        self.program.key("shift+Delete")
        cleaner = self.program.wait_window(CACHE_CLEANER)
        self.program.click_in(cleaner, CLEANER_COOKIES)
        self.program.click_in(cleaner, CLEANER_START)
        wait_until(lambda: not self.program.window_named(CACHE_CLEANER), "the cleaner to finish")

        self.program.focus()
        self.program.key("F5")
        self.wait_page_title(chromium("show.html"), "cookies:")
        self.program.key("ctrl+2")
        self.wait_caption("cookies:probe=1")
        self.program.key("F5")
        self.wait_caption("cookies:")


class UpdateCheck(BrowserTest):
    def setUp(self):
        super().setUp()
        # The outside updater stands in as a script that notes its command line.
        self.updater_note = os.path.join(self.program.folder, "updater-started")
        updater = os.path.join(self.program.folder, "Update")
        with open(updater, "w") as script:
            script.write('#!/bin/sh\necho "$@" > "%s"\n' % self.updater_note)
        os.chmod(updater, 0o755)
        self.addCleanup(os.environ.pop, "QUELLON_UPDATE_HOST", None)

    def serve_version(self, version, info):
        with open(os.path.join(self.server.root, "ver.html"), "wb") as document:
            document.write(json.dumps({"Version": version, "Info": info}, ensure_ascii=False)
                           .encode("gb18030"))

    def version_requests(self):
        return json.loads(harness.fetch(self.server.url("_stats")).decode()).get("/ver.html", 0)

    def start_with_update_host(self):
        before = self.version_requests()
        os.environ["QUELLON_UPDATE_HOST"] = "127.0.0.1:%d" % self.server.port
        self.start()
        self.wait_caption("网址导航")
        wait_until(lambda: self.version_requests() == before + 1, "the version document asked for")
        return wait_until(lambda: restore_yes_button(self.program.screenshot()), "the update notice")

    def test_no_hides_the_notice_and_starts_nothing(self):
        # The host's message, a row of full blocks, is drawn as one long dark bar.
        self.serve_version("2.0.0.0", "\u2588" * 16)
        self.start_with_update_host()
        wait_until(lambda: longest_dark_run(self.program.screenshot()) > 100, "the host's message")
        no = wait_until(lambda: notice_no_button(self.program.screenshot()), "the notice's 否")
        self.program.click(*no)
        wait_until(lambda: restore_yes_button(self.program.screenshot()) is None, "the notice to go")
        self.assertTrue(stays(lambda: self.program.running() and not os.path.exists(self.updater_note), 2))

    def test_yes_starts_the_updater_and_closes(self):
        self.serve_version("0.9", "")
        yes = self.start_with_update_host()
        self.program.click(*yes)
        self.assertEqual(self.program.wait_exit(), 0)
        def note():
            if not os.path.exists(self.updater_note):
                return None
            with open(self.updater_note) as text:
                return text.read().strip()
        parameter = json.loads(base64.b64decode(wait_until(note, "the updater's command line")).decode("gb18030"))
        self.assertEqual(parameter, {"FileName": "update.rar", "ExeName": "quellon"})

    def test_no_request_without_an_update_host(self):
        self.serve_version("2.0.0.0", "")
        before = self.version_requests()
        self.start()
        self.wait_caption("网址导航")
        self.assertTrue(stays(lambda: self.version_requests() == before
                              and restore_yes_button(self.program.screenshot()) is None, 3))


if __name__ == "__main__":
    harness.main()
