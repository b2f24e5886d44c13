"""Favorites: the five default favorites on a fresh data file, adding the current page (star
button and Ctrl+D) at the bar's end, hiding and showing the bar with Ctrl+B; dragging a button to
the front, editing, cutting and deleting from a button's context menu, opening a favorite in the
current tab, a new tab (bar, context menu, favorites menu) and a new window; the manager's new,
up, down and delete; exporting 10,000 favorites and importing them into an empty data file; the
defaults after every stored one is gone."""

import os
import shutil
import signal
import sqlite3
import tempfile

import harness
from harness import BrowserTest, CAPTION_SUFFIX, Program, stays, wait_until

# The favorites bar's row (under the tool bar, left of the tools; the window is maximised), the
# height of its icons' middle, and the star at the address bar's right end.
BAR = harness.FAVORITES_BAR
ICON_ROW = harness.FAVORITES_ICON_ROW
STAR = harness.STAR
BACKGROUND = harness.FAVORITES_BAR_BACKGROUND
DEFAULT_COUNT = 5
# "收藏" in the main menu; its items, counted without separators: four commands, then the
# favorites, the default ones first.
FAVORITES_MENU = harness.FAVORITES_MENU
MENU_IMPORT_EXPORT = 3
MENU_FIRST_STORED = 4 + DEFAULT_COUNT + 1
# The context menu of a favorite button ("剪切", "复制", "删除", "编辑", "在新标签页打开",
# "在新窗口打开"), counted without its separator.
CUT, COPY, DELETE, EDIT, NEW_TAB, NEW_WINDOW = range(1, 7)
MANAGER_NEW, MANAGER_DOWN, MANAGER_UP, MANAGER_DELETE = (harness.FAVORITES_MANAGER[k] for k in
                                                        ("new", "down", "up", "delete"))
EXPORT_BUTTON, IMPORT_BUTTON = harness.FAVORITES_FILE["export"], harness.FAVORITES_FILE["import"]
MANY = 10000


def is_blue(pixel):
    red, green, blue = pixel
    return blue > red + 60


def icon_lefts(shot):
    """The left ends of the default page icons on the bar, one per button, left to right: groups of
    blue pixels along the icons' middle row."""
    lefts, last = [], None
    for x in range(BAR[0], BAR[2]):
        if is_blue(shot.pixel(x, ICON_ROW)):
            if last is None or x - last > 18:
                lefts.append(x)
            last = x
    return lefts


def icon_count(shot):
    return len(icon_lefts(shot))


def message_kind(shot, box):
    """"information" or "warning": the icon at a message box's left, a blue "i" or a yellow sign."""
    icon = [shot.pixel(box["x"] + x, box["y"] + y) for x in range(4, 44) for y in range(4, 44)]
    if any(blue > red + 60 for red, green, blue in icon):
        return "information"
    if any(red > 200 and green > 150 and blue < 100 for red, green, blue in icon):
        return "warning"
    return None


def store_favorites(program, favorites):
    """Writes (name, address) rows, ranked 1, 2, ... in order, before the program starts. The
    program keeps text as GB18030 bytes in TEXT values (a BLOB would never equal its literals)."""
    connection = sqlite3.connect(os.path.join(program.folder, "dat", "data.dat"))
    try:
        connection.executemany("INSERT INTO qb_fav (fav_name, fav_url, ranking) "
                               "VALUES (CAST(? AS TEXT), CAST(? AS TEXT), ?)",
                               [(name.encode("gb18030"), url.encode("gb18030"), ranking)
                                for ranking, (name, url) in enumerate(favorites, 1)])
        connection.commit()
    finally:
        connection.close()


def stored_names(program):
    return [name for (name,) in program.query("SELECT fav_name FROM qb_fav ORDER BY ranking, id")]


def bar_end(shot):
    """The rightmost column of the bar's row that is not background: where its last button ends."""
    for x in range(BAR[2] - 1, BAR[0] - 1, -1):
        if any(shot.pixel(x, y) != BACKGROUND for y in range(BAR[1], BAR[3])):
            return x
    return None


class FavoritesSteps(BrowserTest):
    """Steps shared by the scenarios on stored favorites."""

    def start_with_favorites(self, *names, address=None):
        """Stores one served page per name as a favorite (titled "Page <name>"), starts the program
        (on the address, if given) and waits for the buttons. Answers the pages' addresses."""
        pages = [self.server.add_page("fav%d.html" % n, "Page " + name) for n, name in enumerate(names)]
        store_favorites(self.program, list(zip(names, pages)))
        self.start(*([address] if address else []))
        self.wait_buttons(DEFAULT_COUNT + len(names))
        return pages

    def wait_buttons(self, count):
        """Waits until the bar shows count buttons; answers their icons' left ends."""
        def lefts():
            found = icon_lefts(self.program.screenshot())
            return found if len(found) == count else None
        return wait_until(lefts, "%d buttons on the bar" % count)

    def stored_button(self, index):
        """A point on the name of the index-th stored favorite's button."""
        return icon_lefts(self.program.screenshot())[DEFAULT_COUNT + index] + 24, ICON_ROW


    def wait_window(self, name):
        return self.program.wait_window(name)

    def new_window(self, action, what):
        """Runs action() and waits for the window it opens (a menu, a dialog): a window of the
        program that was not there before."""
        before = [w["id"] for w in self.program.dialogs()]
        action()
        return wait_until(lambda: [w for w in self.program.dialogs() if w["id"] not in before], what)[0]

    def context_command(self, index, item):
        """Chooses an item of the context menu of the index-th stored favorite's button."""
        self.new_window(lambda: self.program.right_click(*self.stored_button(index)), "the context menu")
        self.program.choose_menu_item(item)

    def menu_command(self, item):
        """Chooses an item of the main menu's "收藏"."""
        self.new_window(lambda: self.program.click(*FAVORITES_MENU), "the favorites menu")
        self.program.choose_menu_item(item)

    def answer_favorite_dialog(self, name, url=None):
        """Fills the favorite dialog: the name over the proposed one, the address when given; OK."""
        dialog = self.wait_window("新建收藏夹")
        self.program.focus(dialog)
        self.program.key("ctrl+a")
        self.program.type(name)
        if url is not None:
            self.program.key("Tab", "ctrl+a")
            self.program.type(url)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named("新建收藏夹"), "the favorite dialog to close")

    def stored(self):
        return self.program.query("SELECT fav_name, fav_url FROM qb_fav ORDER BY ranking, id")


class Favorites(FavoritesSteps):
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


class FavoriteButtons(FavoritesSteps):
    def test_dragged_to_the_front_stays_there_after_restart(self):
        pages = self.start_with_favorites("Alpha", "Bravo longer", "C")
        first = icon_lefts(self.program.screenshot())[DEFAULT_COUNT]
        # Dropped on the left half of the first stored button: before it.
        self.program.drag(self.stored_button(2), (first + 2, ICON_ROW))
        wait_until(lambda: stored_names(self.program) == ["C", "Alpha", "Bravo longer"],
                   "the new order in the data file (now %r)" % stored_names(self.program))
        # The release's own click opens nothing.
        self.assertTrue(stays(lambda: len(self.program.pages()) == 1, 1), self.program.pages())
        self.restart()
        self.wait_buttons(DEFAULT_COUNT + 3)
        self.program.click(*self.stored_button(0))
        self.wait_page_title(pages[2], "Page C")

    def test_edit_and_delete_from_the_context_menu(self):
        pages = self.start_with_favorites("Alpha", "Bravo")
        self.context_command(0, EDIT)
        self.answer_favorite_dialog("Renamed")
        wait_until(lambda: self.stored() == [("Renamed", pages[0]), ("Bravo", pages[1])],
                   "the new name in the data file (now %r)" % self.stored())
        self.context_command(1, DELETE)
        wait_until(lambda: self.stored() == [("Renamed", pages[0])], "Bravo gone from the data file")
        self.wait_buttons(DEFAULT_COUNT + 1)

    def other_windows(self):
        """Main windows of other processes of the program: (pid, caption)."""
        found = []
        for window in self.program.xdotool("search", "--onlyvisible", "--name", CAPTION_SUFFIX + "$",
                                           check=False).split():
            pid = int(self.program.xdotool("getwindowpid", window, check=False).strip() or 0)
            if pid and pid != self.program.process.pid:
                found.append((pid, self.program.xdotool("getwindowname", window).strip()))
        return found

    def end_process(self, pid):
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            return
        wait_until(lambda: not os.path.exists("/proc/%d" % pid), "the second process to end")

    def test_open_in_blank_tab_new_tab_and_new_window(self):
        # Started on a blank page: the first tab is idle and blank.
        pages = self.start_with_favorites("Alpha", "Bravo", address="about:blank")
        wait_until(lambda: [url for url, _ in self.program.pages()] == ["about:blank"], "the blank tab")
        # An idle blank tab loads the favorite itself.
        self.program.click(*self.stored_button(0))
        self.wait_pages([(pages[0], "Page Alpha")])
        # A tab showing a page keeps it: the favorite opens in a new tab.
        self.program.click(*self.stored_button(1))
        self.wait_pages([(pages[0], "Page Alpha"), (pages[1], "Page Bravo")])
        self.context_command(0, NEW_TAB)
        self.wait_pages([(pages[0], "Page Alpha"), (pages[0], "Page Alpha"), (pages[1], "Page Bravo")])
        # The favorites menu opens its entries the same way.
        self.menu_command(MENU_FIRST_STORED + 1)
        self.wait_pages([(pages[0], "Page Alpha"), (pages[0], "Page Alpha"), (pages[1], "Page Bravo"),
                         (pages[1], "Page Bravo")])
        # A new window is a second process of the program showing the favorite.
        self.context_command(1, NEW_WINDOW)
        second = wait_until(lambda: [pid for pid, name in self.other_windows()
                                     if name == "Page Bravo" + CAPTION_SUFFIX], "the new window")[0]
        self.addCleanup(self.end_process, second)
        self.assertEqual(len(self.program.pages()), 4)  # no tab for it here

    def test_defaults_stay_when_every_stored_favorite_is_deleted(self):
        pages = self.start_with_favorites("Alpha", "Bravo")
        self.context_command(1, CUT)
        self.wait_buttons(DEFAULT_COUNT + 1)
        self.assertEqual(self.program.clipboard(), pages[1])
        self.context_command(0, DELETE)
        self.wait_buttons(DEFAULT_COUNT)
        self.assertEqual(self.stored(), [])
        self.restart()
        self.wait_buttons(DEFAULT_COUNT)
        self.assertTrue(stays(lambda: icon_count(self.program.screenshot()) == DEFAULT_COUNT, 1))


class FavoritesManager(FavoritesSteps):
    def test_new_moved_up_and_down_then_deleted(self):
        self.start_with_favorites("Alpha", "Bravo")
        self.program.key("ctrl+m")
        manager = self.wait_window("整理收藏夹")

        def press(tool, names):
            self.program.click(manager["x"] + tool[0], manager["y"] + tool[1])
            wait_until(lambda: stored_names(self.program) == names,
                       "%r in the data file (now %r)" % (names, stored_names(self.program)))

        self.program.click(manager["x"] + MANAGER_NEW[0], manager["y"] + MANAGER_NEW[1])
        new = self.server.url("charlie.html")
        self.answer_favorite_dialog("Charlie", new)
        wait_until(lambda: self.stored()[-1:] == [("Charlie", new)], "the new favorite stored last")
        # The new row is selected: up twice to the top, down once.
        press(MANAGER_UP, ["Alpha", "Charlie", "Bravo"])
        press(MANAGER_UP, ["Charlie", "Alpha", "Bravo"])
        press(MANAGER_DOWN, ["Alpha", "Charlie", "Bravo"])
        press(MANAGER_DELETE, ["Alpha", "Bravo"])
        self.program.focus(manager)
        self.program.key("Escape")
        wait_until(lambda: not self.program.window_named("整理收藏夹"), "the manager to close")
        self.wait_buttons(DEFAULT_COUNT + 2)


class BookmarkFile(FavoritesSteps):
    def run_file_command(self, button, path):
        """Opens the import and export window from the menu, presses one of its buttons, answers
        the file dialog with the path and answers the message box that tells the result."""
        self.menu_command(MENU_IMPORT_EXPORT)
        window = self.wait_window("导入/导出收藏夹")
        dialog = self.new_window(lambda: self.program.click(window["x"] + button[0], window["y"] + button[1]),
                                 "the file dialog")
        self.program.choose_file(dialog, path)
        box = wait_until(lambda: self.program.window_named("Quellon"), "the result message", 120)
        kind = wait_until(lambda: message_kind(self.program.screenshot(), box), "the message's icon")
        self.program.focus(box)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named("Quellon"), "the message box to close")
        return kind

    def test_export_many_and_import_them_into_an_empty_data_file(self):
        folder = tempfile.mkdtemp(prefix="quellon-e2e-bookmarks-")
        self.addCleanup(shutil.rmtree, folder, True)
        path = os.path.join(folder, "favorites.html")
        favorites = [("Favorite %d" % n, "http://127.0.0.1:9/page%d.html" % n) for n in range(MANY)]
        store_favorites(self.program, favorites)
        self.start()
        self.wait_caption("网址导航")
        # "收藏夹导出成功！" is an information, "收藏夹导出失败！" a warning.
        self.assertEqual(self.run_file_command(EXPORT_BUTTON, path), "information")
        with open(path, encoding="gb18030") as exported:
            self.assertEqual(sum(line.startswith("<DT><A HREF=") for line in exported), MANY)

        # A second program folder, its data file empty.
        self.program.close()
        self.program.remove_folder()
        self.program = Program(self.display.name)
        self.start()
        self.wait_caption("网址导航")
        self.assertEqual(self.run_file_command(IMPORT_BUTTON, path), "information")
        self.assertEqual(self.program.query("SELECT COUNT(*), COUNT(DISTINCT fav_url) FROM qb_fav"),
                         [(MANY, MANY)])
        wait_until(lambda: icon_count(self.program.screenshot()) > DEFAULT_COUNT,
                   "the imported favorites on the bar")


if __name__ == "__main__":
    harness.main()
