"""Links to other programs: a click on a mailto: link asks before the desktop's program starts."""

import os
import tempfile

import harness
from harness import BrowserTest, stays, wait_until

LINK_STYLE = "<style>a{position:fixed;left:0;top:0;width:100%;height:100%}</style>"


class ExternalLinks(BrowserTest):
    def setUp(self):
        super().setUp()
        # Stand-ins for the desktop's tools: xdg-mime names a mail program, xdg-open (what the
        # desktop runs to open an address) leaves a note of what it was given.
        self.bin = tempfile.mkdtemp(prefix="quellon-e2e-bin-")
        self.opened = os.path.join(self.bin, "opened.txt")
        self.write_tool("xdg-mime", 'echo mail-client.desktop\n')
        self.write_tool("xdg-open", 'echo "$1" >> "%s"\n' % self.opened)
        self.old_path = os.environ["PATH"]
        os.environ["PATH"] = self.bin + os.pathsep + self.old_path

    def tearDown(self):
        os.environ["PATH"] = self.old_path
        super().tearDown()

    def write_tool(self, name, body):
        path = os.path.join(self.bin, name)
        with open(path, "w") as tool:
            tool.write("#!/bin/sh\n" + body)
        os.chmod(path, 0o755)

    def opened_addresses(self):
        if not os.path.exists(self.opened):
            return []
        with open(self.opened) as notes:
            return notes.read().split()

    def click_link_and_wait_for_question(self):
        self.program.focus()
        self.click_page()
        wait_until(lambda: self.program.dialogs() or self.opened_addresses(), "the question")
        self.assertEqual(self.opened_addresses(), [], "the program started without a question")
        return self.program.dialogs()[0]

    def test_mailto_link_asks_first(self):
        page = self.server.add_page("mail.html", "Mail link",
                                    '<a href="mailto:someone@example.com">write</a>', LINK_STYLE)
        self.start(page)
        self.wait_caption("Mail link")

        box = self.click_link_and_wait_for_question()
        self.program.focus(box)
        self.program.key("Escape")
        wait_until(lambda: not self.program.dialogs(), "the question to close")
        self.assertTrue(stays(lambda: self.opened_addresses() == [], 2), "answered No, yet it started")

        box = self.click_link_and_wait_for_question()
        self.program.focus(box)
        self.program.key("Return")
        wait_until(lambda: self.opened_addresses() == ["mailto:someone@example.com"],
                   "the mail program to get the address")


if __name__ == "__main__":
    harness.main()
