"""The engine switch: the engine icon moves a tab to the compatibility engine, the choice is kept
per host in the data file and chosen again after a restart."""

import harness
from harness import BrowserTest, stays, wait_until


class EngineMemory(BrowserTest):
    def test_switch_is_remembered_after_restart(self):
        page = self.server.add_page("old-site.html", "Old site")
        self.start(page)
        self.wait_caption("Old site")
        self.wait_pages([(page, "Old site")])
        self.program.click(*harness.ENGINE_ICON)
        wait_until(lambda: [row for row in self.program.query("SELECT domain, kernel FROM qb_domain_kernel")
                            if row[0].startswith("127.0.0.1") and row[1] == 1],
                   "the host's engine in the data file")

        # After a restart the host's pages open in the compatibility engine: Chromium never
        # lists the page.
        self.restart(page)
        self.wait_caption("Old site")
        self.assertTrue(stays(lambda: page not in [url for url, _ in self.program.pages()], 2),
                        self.program.pages())


class DebuggingEndpoint(BrowserTest):
    def test_no_port_without_the_switch(self):
        self.start(debug=False)
        self.wait_caption("网址导航")
        self.assertEqual(harness.listening_ports_of(self.program.process_tree()), [])

    def test_switch_opens_port_on_loopback_only(self):
        self.start()
        self.wait_caption("网址导航")
        self.assertEqual(harness.listening_ports_of(self.program.process_tree()),
                         [("0100007F", self.program.debug_port)])


if __name__ == "__main__":
    harness.main()
