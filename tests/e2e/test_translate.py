"""The translator against a translation server of the user's own: QUELLON_TRANSLATE_SERVER names a
LibreTranslate-like stand-in on 127.0.0.1; a typed line is translated into the server's Chinese
and shows in the result box, read back through the clipboard."""

import http.server
import json
import os
import threading
import urllib.parse

import harness
from harness import BrowserTest, wait_until

TRANSLATOR_BUTTON = (1222, 71)
# The result box of the translator window, from the window's top-left corner.
RESULT_BOX = (250, 280)


class LibreTranslateStandIn(http.server.ThreadingHTTPServer):
    """GET /languages and POST /translate as a LibreTranslate server answers them; records the
    forms it was sent."""

    def __init__(self):
        self.forms = []
        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def address(self):
        return "http://127.0.0.1:%d/" % self.server_address[1]


class Handler(http.server.BaseHTTPRequestHandler):
    def answer(self, value):
        body = json.dumps(value, ensure_ascii=False).encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/languages":
            self.answer([{"code": "en", "name": "English"}, {"code": "zh-Hans", "name": "Chinese"}])
        else:
            self.send_error(404)

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        form = dict(urllib.parse.parse_qsl(self.rfile.read(length).decode("utf-8")))
        self.server.forms.append(form)
        self.answer({"translatedText": "译文[%s→%s]:%s" % (form.get("source"), form.get("target"), form.get("q"))})

    def log_message(self, *arguments):
        pass


class TranslateServer(BrowserTest):
    def setUp(self):
        super().setUp()
        self.stand_in = LibreTranslateStandIn()
        self.addCleanup(self.stand_in.server_close)
        self.addCleanup(self.stand_in.shutdown)
        os.environ["QUELLON_TRANSLATE_SERVER"] = self.stand_in.address()
        os.environ["QUELLON_TRANSLATE_KEY"] = "e2e-key"
        self.addCleanup(os.environ.pop, "QUELLON_TRANSLATE_SERVER", None)
        self.addCleanup(os.environ.pop, "QUELLON_TRANSLATE_KEY", None)

    def test_typed_line_is_translated_by_own_server(self):
        self.start()
        self.wait_caption("网址导航")
        self.program.click(*TRANSLATOR_BUTTON)
        window = wait_until(lambda: next((w for w in self.program.dialogs() if w["name"] == "翻译文字"), None),
                            "the translator")
        self.program.focus(window)
        self.program.type("good morning")
        self.program.key("alt+t")
        wait_until(lambda: self.stand_in.forms, "a request to the translation server")
        form = self.stand_in.forms[0]
        self.assertEqual(form["q"], "good morning")
        self.assertEqual(form["api_key"], "e2e-key")
        # The server's Chinese is the target the window chose from the server's list.
        self.assertEqual((form["source"], form["target"]), ("auto", "zh-Hans"))

        def result_text():
            self.program.click(window["x"] + RESULT_BOX[0], window["y"] + RESULT_BOX[1])
            self.program.key("ctrl+a", "ctrl+c")
            return self.program.clipboard().strip()

        wait_until(lambda: result_text() == "译文[auto→zh-Hans]:good morning", "the translation in the result box")


if __name__ == "__main__":
    harness.main()
