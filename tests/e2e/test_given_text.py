"""Text handed to the program from outside: words on the command line are searched for, as typed
into the address bar, and never remembered as a site of the engine memory."""

import harness
from harness import BrowserTest, wait_until


class GivenText(BrowserTest):
    def test_words_on_the_command_line_are_searched_for(self):
        self.start("hello world")
        wait_until(lambda: any("wd=hello+world" in url for url in self.program.page_urls()),
                   "the search for the words (now %r)" % self.program.page_urls())
        hosts = [row[0] for row in self.program.query("SELECT domain FROM qb_domain_kernel")]
        self.assertNotIn("hello world", hosts)


if __name__ == "__main__":
    harness.main()
