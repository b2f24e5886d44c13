"""The compatibility engine's warnings: the strip shown when a site is switched to it, its
"不再提示" answer kept across a restart, and the options page's list of such sites whose button
sends a site back to Chromium for the next start."""

import harness
from harness import BrowserTest, stays, wait_until

NOTICE_POINT, NOTICE_COLOUR, NOTICE_OFF = harness.COMPAT_NOTICE, harness.COMPAT_NOTICE_COLOUR, harness.COMPAT_NOTICE_OFF
# "兼容内核" in the options page's left column, the first row of its list of sites, "改用Chrome内核".
ENGINE_SECTION, FIRST_HOST, TO_CHROMIUM = (harness.OPTIONS[k] for k in ("engine section", "first engine site",
                                                                         "to chromium"))


class OldEngine(BrowserTest):
    def notice_shown(self):
        return self.program.screenshot().pixel(*NOTICE_POINT) == NOTICE_COLOUR

    def kernels(self):
        return dict(self.program.query("SELECT domain, kernel FROM qb_domain_kernel"))

    def switch_to_old_engine(self, page, title):
        self.wait_pages([(page, title)])
        self.program.click(*harness.ENGINE_ICON)
        wait_until(lambda: self.kernels().get(page.split("/")[2]) == 1, "the site's engine in the data file")

    def test_notice_until_turned_off_and_sites_sent_back_from_options(self):
        page = self.server.add_page("old-site.html", "Old site")
        host = page.split("/")[2]
        self.start(page)
        self.switch_to_old_engine(page, "Old site")
        wait_until(self.notice_shown, "the notice strip")
        self.program.click(*NOTICE_OFF)
        wait_until(lambda: not self.notice_shown(), "the notice strip hidden")
        wait_until(lambda: self.program.query("SELECT cfg_value FROM qb_config WHERE cfg_key = 16") == [("1",)],
                   "the answer in the data file")

        # After a restart another site switched to the old engine brings no notice.
        other = page.replace("127.0.0.1", "localhost")
        self.restart(other)
        self.switch_to_old_engine(other, "Old site")
        self.assertTrue(stays(lambda: not self.notice_shown(), 2))

        # The options page lists the first site and sends it back to Chromium.
        self.open_address("about:config")
        self.wait_caption("选项设置")
        self.program.click(*ENGINE_SECTION)
        self.program.click(*FIRST_HOST)
        self.program.click(*TO_CHROMIUM)
        wait_until(lambda: self.kernels().get(host) == 0, "the site back to Chromium in the data file")
        self.assertEqual(self.kernels().get(other.split("/")[2]), 1)
        self.restart(page)
        self.wait_pages([(page, "Old site")])


if __name__ == "__main__":
    harness.main()
