"""Saving a picture from a server that sends a byte a second: the progress window shows while the
main window keeps working, and its 取消 ends the transfer without leaving a file."""

import os

import harness
from harness import stays, wait_until
from test_page_commands import FILL_STYLE, PageCommandsTest, png_bytes

PROGRESS_TITLE = "图片另存为"


class SlowPicture(PageCommandsTest):
    def test_cancel_ends_a_trickling_picture(self):
        with open(os.path.join(self.server.root, "slow.png"), "wb") as served:
            served.write(png_bytes(300, 200, harness.PAGE_BLUE))
        self.start_on("slow.html", "Slow picture", '<img id="fill" src="slow.png?rate=1">', FILL_STYLE)
        # From the end: 审查元素, 在新标签中打开图片, 复制图片地址, 图片另存为...
        self.right_click()
        self.menu_choose("Up", "Up", "Up", "Up")
        dialog = wait_until(lambda: next((w for w in self.program.dialogs() if w["width"] > 300), None),
                            "the save dialog")
        target = self.saved_file("slow-saved.png")
        self.program.focus(dialog)
        self.program.key("ctrl+a")
        self.program.type(target)
        self.program.key("Return")
        progress = wait_until(lambda: self.program.window_named(PROGRESS_TITLE), "the progress window")

        # The main window still answers: a new tab opens while the picture trickles in.
        pages = len(self.program.pages())
        self.program.focus()
        self.program.key("ctrl+t")
        self.wait_page_count(pages + 1)
        self.assertIsNotNone(self.program.window_named(PROGRESS_TITLE))

        self.program.focus(progress)
        self.program.key("Escape")
        wait_until(lambda: self.program.window_named(PROGRESS_TITLE) is None, "the progress window closed")
        self.assertTrue(stays(lambda: not os.path.exists(target), 2))
        leftovers = [name for name in os.listdir(self.program.folder) if name.startswith("slow-saved")]
        self.assertEqual(leftovers, [])


if __name__ == "__main__":
    harness.main()
