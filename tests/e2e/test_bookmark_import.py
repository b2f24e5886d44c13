"""Importing a bookmark file another browser exported (no FAV_POS): the import asks whether to take
it as a plain bookmark file; Enter (yes) takes its web links with their folders in the names and
the closing message counts what was taken."""

import os

import harness
import test_favorites
from harness import wait_until
from test_favorites import IMPORT_BUTTON, MENU_IMPORT_EXPORT

CHROME_FILE = """<!DOCTYPE NETSCAPE-Bookmark-file-1>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1700000000" PERSONAL_TOOLBAR_FOLDER="true">书签栏</H3>
    <DL><p>
        <DT><A HREF="http://127.0.0.1:9/news.html" ADD_DATE="1700000000" ICON="data:image/png;base64,AA==">新闻</A>
        <DT><H3 ADD_DATE="1700000000">工作</H3>
        <DL><p>
            <DT><A HREF="https://127.0.0.1:9/mail">邮箱</A>
            <DT><A HREF="javascript:alert(1)">脚本</A>
        </DL><p>
    </DL><p>
</DL><p>
"""


class ForeignBookmarkFile(test_favorites.FavoritesSteps):
    def answer_box(self):
        box = wait_until(lambda: self.program.window_named("Quellon"), "a message box", 120)
        self.program.focus(box)
        self.program.key("Return")
        wait_until(lambda: (self.program.window_named("Quellon") or {}).get("id") != box["id"], "the box to close")

    def test_other_browsers_file_is_imported_after_the_question(self):
        path = os.path.join(self.program.folder, "bookmarks_chrome.html")
        with open(path, "w", encoding="utf-8") as file:
            file.write(CHROME_FILE)
        self.start()
        self.wait_caption("网址导航")
        before = self.program.query("SELECT COUNT(*) FROM qb_fav")[0][0]
        self.menu_command(MENU_IMPORT_EXPORT)
        window = self.wait_window("导入/导出收藏夹")
        dialog = self.new_window(lambda: self.program.click(window["x"] + IMPORT_BUTTON[0],
                                                            window["y"] + IMPORT_BUTTON[1]), "the file dialog")
        self.program.choose_file(dialog, path)
        self.answer_box()  # the question; Enter is its default "Yes"
        wait_until(lambda: self.program.query("SELECT COUNT(*) FROM qb_fav")[0][0] == before + 2,
                   "the two web links stored")
        self.answer_box()  # "已导入 2 个收藏，跳过 1 个重复或无效的链接。"
        self.assertEqual(self.program.query("SELECT fav_name, fav_url FROM qb_fav ORDER BY id DESC LIMIT 2"),
                         [("书签栏/工作/邮箱", "https://127.0.0.1:9/mail"),
                          ("书签栏/新闻", "http://127.0.0.1:9/news.html")])


if __name__ == "__main__":
    harness.main()
