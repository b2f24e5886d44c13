"""The address bar finds pages of the history by their Chinese title's pinyin and initials, and
text pasted into it refreshes the suggestion list. The page addresses hold no pinyin themselves,
so only the title can lead to them."""

import harness
from harness import BrowserTest, wait_until

TITLE = "知乎 - 有问题，就会有答案"


class PinyinSuggestions(BrowserTest):
    def visit_pages(self):
        """Visits the Chinese page and then another one; the other stays in the tab."""
        chinese = self.server.add_page("q1.html", TITLE)
        other = self.server.add_page("other.html", "Other")
        self.start(chinese)
        self.wait_caption(TITLE)
        self.open_address(other)
        self.wait_caption("Other")
        return chinese

    def test_initials_find_the_title(self):
        chinese = self.visit_pages()
        self.focus_address_bar()
        self.program.type("zh")
        wait_until(self.suggestions_shown, "the suggestion list")
        # The first entry is the page found by its title's initials: Down writes it, Enter opens it.
        self.program.key("Down", "Return")
        self.wait_caption(TITLE)
        self.assertEqual(self.address_text(), chinese)

    def test_paste_refreshes_the_list(self):
        chinese = self.visit_pages()
        self.focus_address_bar()
        self.program.type("other")  # the list shows the other page
        wait_until(self.suggestions_shown, "the suggestion list")
        self.program.set_clipboard("知乎")
        self.program.key("ctrl+a", "ctrl+v")
        # A stale list would put the other page (the one shown) back into the bar.
        self.program.key("Down", "Return")
        self.wait_caption(TITLE)
        self.assertEqual(self.address_text(), chinese)


if __name__ == "__main__":
    harness.main()
