"""Page commands from outside: the Chromium right-click menu (a link into a new tab, its address on
the clipboard, a picture saved byte for byte), saving the page as HTML in its own character set
and as a picture of the page's size, zoom keys and Ctrl+wheel per tab, the find window walking the
matches, the developer tools under the page, and printing into a PDF file through the print dialog.
Both engines where the engine has the command; the compatibility engine's tests remember the page
server's host for it, as the engine icon does."""

import os
import re
import struct
import zlib

import harness
from harness import BrowserTest, stays, wait_until

# The main menu's "文件" (its items, counted without separators: 新建标签, 新建窗口, 保存网页,
# 保存网页为图片, 打印 ▸).
FILE_MENU = harness.FILE_MENU
MENU_SAVE_PAGE, MENU_SAVE_PICTURE, MENU_PRINT = 3, 4, 5
STATUS_PERCENTAGE = harness.STATUS_PERCENTAGE
# A point of the page area under the tool bars, where the pages below put their link or picture.
PAGE_POINT = (150, 250)
# Fills the page area with one element, so a click anywhere in it lands on it.
FILL_STYLE = harness.fill_style("#fill")
# The title follows the page's zoom: devicePixelRatio is the engine's zoom factor (Chromium), the
# body's style zoom is the compatibility engine's.
ZOOM_HEAD = ("<script>setInterval(function () { document.title = 'z' +"
             " Math.round(devicePixelRatio * 1000) + ' s' + (document.body.style.zoom || '1'); }, 100);"
             "</script>")
# Three matches of "needle" far apart in a tall page; the title follows the scroll position.
FIND_BODY = "".join('<p style="margin-top:%dpx">needle %d</p>' % (3000, n) for n in range(3))
FIND_HEAD = ("<script>addEventListener('scroll', function () {"
             " document.title = 'y' + Math.round(scrollY); });</script>")


def png_bytes(width, height, colour):
    """A plain one-colour PNG."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(colour) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def image_size(path):
    """(width, height) of a picture file, read by ImageMagick."""
    out = harness.run(["identify", "-format", "%w %h", path], text=True, check=True)
    return tuple(int(v) for v in out.stdout.split())


def read_bytes(path):
    with open(path, "rb") as data:
        return data.read()


def scroll_of(title):
    return int(title[1:]) if title and title.startswith("y") and title[1:].isdigit() else -1


class PageCommandsTest(BrowserTest):
    """Steps shared by the scenarios."""

    def right_click(self, point=PAGE_POINT):
        self.program.focus()
        self.program.xdotool("mousemove", "--sync", *point)
        self.program.xdotool("click", 3)
        return wait_until(lambda: next(iter(self.program.dialogs()), None), "the right-click menu")

    def menu_choose(self, *keys):
        """Walks the open menu with the keys (Down and Up step over separators and disabled
        items; Up first picks the last item) and chooses with Enter."""
        self.program.key(*keys, "Return")

    def main_menu(self, position, *more):
        self.program.focus()
        self.program.click(*FILE_MENU)
        self.program.key(*["Down"] * position, *more)


    def answer_file_dialog(self, path):
        """Qt's own save dialog: the path typed over its file name field, then Enter."""
        dialog = wait_until(lambda: next((w for w in self.program.dialogs() if w["width"] > 300), None),
                            "the save dialog")
        self.program.focus(dialog)
        self.program.key("ctrl+a")
        self.program.type(path)
        self.program.key("Return")
        wait_until(lambda: os.path.exists(path), "the file " + path)

    def saved_file(self, name):
        return os.path.join(self.program.folder, name)

    def remember_engine(self, engine):
        """The page server's host is remembered for the compatibility engine before the start
        (as the engine icon leaves it in the data file): its pages open there, out of Chromium."""
        if engine == "chromium":
            return
        self.program.remember_compatibility_engine("127.0.0.1:%d" % self.server.port)

    def start_on(self, name, title, body="", head="", engine="chromium"):
        page = self.server.add_page(name, title, body, head)
        self.remember_engine(engine)
        self.start(page)
        self.wait_caption(title)
        if engine != "chromium":
            self.assertNotIn(page, [url for url, _ in self.program.pages()])
        return page


class ContextMenu(PageCommandsTest):
    def test_link_opens_in_new_tab_and_its_address_is_copied(self):
        target = self.server.add_page("target.html", "Link target")
        page = self.start_on("links.html", "Links", '<a id="fill" href="target.html">link</a>', FILL_STYLE)
        # The engine's own "在新标签中打开链接", the first enabled entry (back and forward are not).
        self.right_click()
        self.menu_choose("Down")
        self.wait_pages([(page, "Links"), (target, "Link target")])

        # "复制链接地址": the entry before "审查元素", the last one.
        self.program.key("ctrl+1")
        self.wait_caption("Links")
        self.program.set_clipboard("(nothing)")
        self.right_click()
        self.menu_choose("Up", "Up")
        wait_until(lambda: self.program.clipboard() == target, "the link's address on the clipboard")

    def test_picture_saved_byte_for_byte(self):
        picture = png_bytes(200, 150, (200, 30, 60))
        with open(os.path.join(self.server.root, "red.png"), "wb") as served:
            served.write(picture)
        self.start_on("picture.html", "Picture", '<img id="fill" src="red.png">', FILL_STYLE)
        # From the end: 审查元素, 在新标签中打开图片, 复制图片地址, 图片另存为...
        self.right_click()
        self.menu_choose("Up", "Up", "Up", "Up")
        target = self.saved_file("saved-red.png")
        self.answer_file_dialog(target)
        wait_until(lambda: read_bytes(target) == picture, "the served picture's bytes")


class SavePage(PageCommandsTest):
    CHINESE = "中文内容保存后仍在"

    def save_page(self, name):
        self.main_menu(MENU_SAVE_PAGE, "Return")
        target = self.saved_file(name)
        self.answer_file_dialog(target)
        wait_until(lambda: read_bytes(target).endswith(b"</html>\r\n"), "the whole page written")
        return target, read_bytes(target)

    def utf8_page_saved_and_opened(self, engine):
        self.start_on("utf8.html", "保存页", "<p>%s</p>" % self.CHINESE, engine=engine)
        target, data = self.save_page("saved-utf8.html")
        self.assertIn(self.CHINESE, data.decode("utf-8"))
        # Opened again, it shows its Chinese title.
        self.open_address("file://" + target)
        self.wait_caption("保存页")

    def gb18030_page_saved_in_its_charset(self, engine):
        text = "国标页面 " + self.CHINESE
        with open(os.path.join(self.server.root, "gb.html"), "wb") as page:
            page.write(('<html><head><meta charset="gb18030"><title>国标</title></head>'
                        "<body><p>%s</p></body></html>" % text).encode("gb18030"))
        self.remember_engine(engine)
        self.start(self.server.url("gb.html"))
        self.wait_caption("国标")
        _, data = self.save_page("saved-gb.html")
        self.assertRaises(UnicodeDecodeError, data.decode, "utf-8")
        self.assertIn(text, data.decode("gb18030"))

    def test_chromium_utf8_page(self):
        self.utf8_page_saved_and_opened("chromium")

    def test_compatibility_utf8_page(self):
        self.utf8_page_saved_and_opened("compatibility")

    def test_chromium_gb18030_page(self):
        self.gb18030_page_saved_in_its_charset("chromium")

    def test_compatibility_gb18030_page(self):
        self.gb18030_page_saved_in_its_charset("compatibility")


class SavePicture(PageCommandsTest):
    # The title gives the engine (c: Chromium, w: the compatibility engine) and the size the
    # picture must have: the visible page (Chromium), the whole document (the compatibility engine
    # renders all of it).
    SIZE_HEAD = ("<style>body{margin:0}</style><script>addEventListener('load', function () {"
                 " var e = document.documentElement; document.title ="
                 " (/Chrome\\//.test(navigator.userAgent) ? 'c' : 'w') + ' ' + innerWidth + 'x' + innerHeight"
                 " + ' ' + e.scrollWidth + 'x' + e.scrollHeight; });</script>")

    def page_sizes(self, engine):
        letter = "c " if engine == "chromium" else "w "
        caption = wait_until(lambda: (self.program.caption() or "").startswith(letter)
                             and self.program.caption(), "the page's size in its title")
        size = lambda text: tuple(int(v) for v in text.split("x"))
        _, visible, document = caption[:-len(harness.CAPTION_SUFFIX)].split(" ")
        return size(visible), size(document)

    def save_picture(self, engine, body):
        page = self.server.add_page("shot.html", "Shot", body, self.SIZE_HEAD)
        self.remember_engine(engine)
        self.start(page)
        visible, document = self.page_sizes(engine)
        self.main_menu(MENU_SAVE_PICTURE, "Return")
        target = self.saved_file("shot.jpg")
        self.answer_file_dialog(target)
        wait_until(lambda: harness.run(["identify", target]).returncode == 0,
                   "a complete picture")
        with open(target, "rb") as picture:
            self.assertEqual(picture.read(3), b"\xff\xd8\xff")  # JPEG
        return image_size(target), visible, document

    def test_chromium_saves_the_visible_page(self):
        got, visible, _ = self.save_picture("chromium", "<p>visible part</p>")
        self.assertEqual(got, visible)

    def test_compatibility_saves_the_whole_document(self):
        got, _, document = self.save_picture("compatibility", '<div style="height:2500px">tall</div>')
        self.assertEqual(got, document)
        self.assertGreaterEqual(got[1], 2500)


class Zoom(PageCommandsTest):
    @staticmethod
    def ratio(title):
        """The zoom factor the title reports; None before the page's script has set it."""
        match = re.match(r"z(\d+) ", title or "")
        return int(match.group(1)) / 1000 if match else None

    def near(self, title, factor):
        ratio = self.ratio(title)
        return ratio is not None and abs(ratio - factor) < 0.01

    def wait_title(self, predicate, what):
        return wait_until(lambda: predicate(self.program.caption()[:-len(harness.CAPTION_SUFFIX)]),
                          what + " (now %r)" % self.program.caption())

    def ctrl_wheel(self, button):
        self.program.xdotool("mousemove", "--sync", *harness.PAGE_CENTRE)
        self.program.xdotool("keydown", "ctrl")
        self.program.xdotool("click", button)
        self.program.xdotool("keyup", "ctrl")

    def start_zoom_page(self, engine):
        """The page's title follows its zoom from the start: the caption is waited for by its zoom."""
        page = self.server.add_page("zoom.html", "z", head=ZOOM_HEAD)
        self.remember_engine(engine)
        self.start(page)
        self.wait_title(lambda t: t.startswith("z1000 s1"), "the page at 100%")

    def percentage(self):
        """The pixels of the status bar's percentage ("100%") at its right end."""
        return self.program.screenshot().region(*STATUS_PERCENTAGE)

    def test_chromium_steps_per_tab(self):
        other = self.server.add_page("other.html", "z", head=ZOOM_HEAD)
        self.start_zoom_page("chromium")
        self.open_address(other, keys="ctrl+Return")
        self.wait_page_title(other, "z1000 s1")
        self.wait_caption("z1000 s1")
        self.program.key("ctrl+1")
        self.click_page()
        shown = [self.percentage()]
        # Each step is half a zoom level: factors 1.2^0.5, 1.2^1, 1.2^1.5; the status bar shows
        # another percentage at each.
        for step in (1, 2, 3):
            self.program.key("ctrl+equal")
            self.wait_title(lambda t: self.near(t, 1.2 ** (step / 2)), "step %d" % step)
            shown.append(wait_until(lambda: self.percentage() not in shown and self.percentage(),
                                    "a new percentage in the status bar"))
        # The other tab kept its own zoom, and the status bar says so.
        self.program.key("ctrl+2")
        self.wait_title(lambda t: self.ratio(t) == 1.0, "the other tab still at 100%")
        wait_until(lambda: self.percentage() == shown[0], "100% in the status bar")
        self.program.key("ctrl+1")
        self.wait_title(lambda t: self.near(t, 1.2 ** 1.5), "the first tab still zoomed")
        wait_until(lambda: self.percentage() == shown[3], "the first tab's percentage")
        # Ctrl+wheel away from the user zooms in, towards the user out; Ctrl+0 restores.
        self.ctrl_wheel(5)
        self.wait_title(lambda t: self.near(t, 1.2), "one step out with the wheel")
        self.ctrl_wheel(4)
        self.wait_title(lambda t: self.near(t, 1.2 ** 1.5), "one step in with the wheel")
        self.program.key("ctrl+minus")
        self.wait_title(lambda t: self.near(t, 1.2), "one step out")
        self.program.key("ctrl+0")
        self.wait_title(lambda t: self.ratio(t) == 1.0, "back at 100%")
        wait_until(lambda: self.percentage() == shown[0], "100% in the status bar again")

    def test_compatibility_body_zoom(self):
        self.start_zoom_page("compatibility")
        self.click_page()
        for zoom in ("1.1", "1.2", "1.3"):
            self.program.key("ctrl+equal")
            self.wait_title(lambda t: t.endswith(" s" + zoom), "style zoom " + zoom)
        self.ctrl_wheel(5)
        self.wait_title(lambda t: t.endswith(" s1.2"), "one step out with the wheel")
        self.program.key("ctrl+0")
        self.wait_title(lambda t: t.endswith(" s1"), "style zoom restored")


class Find(PageCommandsTest):
    def label_pixels(self, window):
        """The find window's lower half (the match count and the buttons)."""
        shot = self.program.screenshot()
        return shot.region(window["x"], window["y"] + window["height"] // 2,
                           window["x"] + window["width"], window["y"] + window["height"])

    def walk_matches(self, engine):
        self.start_on("find.html", "y0", FIND_BODY, FIND_HEAD, engine=engine)
        self.click_page()
        self.program.key("ctrl+f")
        window = wait_until(lambda: self.program.window_named("查找"), "the find window")
        self.program.focus(window)
        before = self.label_pixels(window)
        self.program.type("needle")
        self.program.key("Return")
        caption = lambda: self.program.caption()[:-len(harness.CAPTION_SUFFIX)]
        first = wait_until(lambda: scroll_of(caption()) > 2000 and scroll_of(caption()),
                           "the first match scrolled into view")
        # Chromium counts its matches ("第 1 个，共 3 个"); the compatibility engine does not.
        counted = engine == "chromium"
        if counted:
            wait_until(lambda: self.label_pixels(window) != before, "the count shown")
        count_first = self.label_pixels(window)
        # F3: the next match, further down, with another count; Shift+F3 back to the first.
        self.program.key("F3")
        second = wait_until(lambda: scroll_of(caption()) > first + 2000 and scroll_of(caption()),
                            "the second match")
        if counted:
            wait_until(lambda: self.label_pixels(window) != count_first, "the second count")
        self.program.key("shift+F3")
        wait_until(lambda: 0 <= scroll_of(caption()) < second - 2000, "back at the first match")
        if counted:
            wait_until(lambda: self.label_pixels(window) == count_first, "the first count again")
        # Esc closes the window.
        self.program.focus(window)
        self.program.key("Escape")
        wait_until(lambda: not self.program.window_named("查找"), "the find window to close")

    def test_chromium(self):
        self.walk_matches("chromium")

    def test_compatibility(self):
        self.walk_matches("compatibility")


class DeveloperTools(PageCommandsTest):
    def devtools_listed(self):
        return any(url.startswith("devtools://") for url, _ in self.program.pages())

    def lower_half(self):
        return self.program.screenshot().region(0, 600, harness.SCREEN_WIDTH, 850)

    def test_f12_shows_and_hides_the_tools(self):
        self.start_on("tools.html", "Tools", "<p>page</p>")
        plain = self.lower_half()
        self.click_page()
        self.program.key("F12")
        wait_until(self.devtools_listed, "the developer tools' page")
        wait_until(lambda: self.lower_half() != plain, "the tools under the page")
        self.click_page()
        self.program.key("F12")
        wait_until(lambda: not self.devtools_listed(), "the tools closed")
        wait_until(lambda: self.lower_half() == plain, "the page filling the tab again")


class Print(PageCommandsTest):
    def print_to_pdf(self, engine):
        self.start_on("print.html", "Print me", "<h1>PrintMarker 打印内容</h1>", engine=engine)
        self.main_menu(MENU_PRINT, "Right", "Return")
        dialog = wait_until(lambda: self.program.window_named("打印"), "the print dialog")
        # With no printer the dialog prints to a file: Alt+F is its file name field.
        target = self.saved_file("printed.pdf")
        self.program.focus(dialog)
        self.program.key("alt+f", "ctrl+a")
        self.program.type(target)
        self.program.key("Return")
        text = lambda: harness.run(["pdftotext", target, "-"]).stdout.decode(
            "utf-8", "replace")
        wait_until(lambda: os.path.exists(target) and "PrintMarker 打印内容" in text(), "the page's text in the PDF")
        self.assertTrue(stays(lambda: not self.program.dialogs(), 1), self.program.dialogs())

    def test_chromium(self):
        self.print_to_pdf("chromium")

    def test_compatibility(self):
        self.print_to_pdf("compatibility")


if __name__ == "__main__":
    harness.main()
