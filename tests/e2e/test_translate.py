"""The translator against a translation server of the user's own: QUELLON_TRANSLATE_SERVER names the
test server's LibreTranslate stand-in on 127.0.0.1; a typed line comes back in the server's Chinese
in the result box, read through the clipboard."""

import json
import os
import urllib.parse

import harness
from harness import BrowserTest, TRANSLATOR_RESULT_BOX, wait_until
from test_tools import TRANSLATOR_BUTTON

LANGUAGES = [{"code": "en", "name": "English"}, {"code": "zh-Hans", "name": "Chinese"}]


class TranslateServer(BrowserTest):
    def forms(self):
        return [dict(urllib.parse.parse_qsl(request["body"].decode("utf-8")))
                for request in self.server.received("/_translate/translate")]

    def test_typed_line_is_translated_by_own_server(self):
        self.server.set_answer("/_translate/languages", json.dumps(LANGUAGES).encode())
        os.environ.update(QUELLON_TRANSLATE_SERVER=self.server.url("_translate/"), QUELLON_TRANSLATE_KEY="e2e-key")
        for name in ("QUELLON_TRANSLATE_SERVER", "QUELLON_TRANSLATE_KEY"):
            self.addCleanup(os.environ.pop, name, None)
        self.start()
        self.wait_caption("网址导航")
        self.program.click(*TRANSLATOR_BUTTON)
        window = wait_until(lambda: next((w for w in self.program.dialogs() if w["name"] == "翻译文字"), None),
                            "the translator")
        self.program.focus(window)
        self.program.type("good morning")
        self.program.key("alt+t")
        forms = wait_until(self.forms, "a request to the translation server")
        # The server's Chinese is the target the window chose from the server's list.
        self.assertEqual(forms[0], {"q": "good morning", "api_key": "e2e-key", "source": "auto",
                                    "target": "zh-Hans", "format": "text"})

        def result_text():
            self.program.click(window["x"] + TRANSLATOR_RESULT_BOX[0], window["y"] + TRANSLATOR_RESULT_BOX[1])
            self.program.key("ctrl+a", "ctrl+c")
            return self.program.clipboard().strip()

        wait_until(lambda: result_text() == "译:good morning", "the translation in the result box")


if __name__ == "__main__":
    harness.main()
