"""Links to other programs: a click on a mailto: link asks before the desktop's program starts."""

import os
import tempfile

import harness
from harness import BrowserTest, stays, wait_until


class ExternalLinks(BrowserTest):
    def setUp(self):
        super().setUp()
        # Stand-ins on the PATH: xdg-mime names a mail program, xdg-open (what the desktop runs to
        # open an address) notes what it was given.
        tools = tempfile.mkdtemp(prefix="quellon-e2e-tools-")
        self.notes = os.path.join(tools, "opened.txt")
        for name, body in (("xdg-mime", "echo mail.desktop"), ("xdg-open", 'echo "$1" >> ' + self.notes)):
            with open(os.path.join(tools, name), "w") as tool:
                tool.write("#!/bin/sh\n%s\n" % body)
            os.chmod(os.path.join(tools, name), 0o755)
        self.addCleanup(os.environ.__setitem__, "PATH", os.environ["PATH"])
        os.environ["PATH"] = tools + os.pathsep + os.environ["PATH"]

    def opened(self):
        return open(self.notes).read().split() if os.path.exists(self.notes) else []

    def click_and_answer(self, key):
        self.program.focus()
        self.click_page()
        wait_until(lambda: self.program.dialogs() or self.opened(), "the question")
        self.assertEqual(self.opened(), [], "the program started without a question")
        self.program.focus(self.program.dialogs()[0])
        self.program.key(key)
        wait_until(lambda: not self.program.dialogs(), "the question to close")

    def test_mailto_link_asks_first(self):
        page = self.server.add_page("mail.html", "Mail link", '<a href="mailto:someone@example.com">write</a>',
                                    harness.fill_style("a"))
        self.start(page)
        self.wait_caption("Mail link")
        self.click_and_answer("Escape")
        self.assertTrue(stays(lambda: self.opened() == [], 2), "answered No, yet it started")
        self.click_and_answer("Return")
        wait_until(lambda: self.opened() == ["mailto:someone@example.com"], "the mail program")


if __name__ == "__main__":
    harness.main()
