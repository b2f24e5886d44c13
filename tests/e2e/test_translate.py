"""The translator against a translation server of the user's own: QUELLON_TRANSLATE_SERVER names a
LibreTranslate-like stand-in on 127.0.0.1; a typed line comes back in the server's Chinese in the
result box, read through the clipboard."""

import http.server
import json
import os
import threading
import urllib.parse

import harness
from harness import BrowserTest, wait_until
from test_tools import TRANSLATOR_BUTTON

RESULT_BOX = (250, 280)  # from the translator window's top-left corner


class StandIn(http.server.BaseHTTPRequestHandler):
    """GET /languages and POST /translate as a LibreTranslate server; the forms go to server.forms."""

    def answer(self, value):
        body = json.dumps(value, ensure_ascii=False).encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.answer([{"code": "en", "name": "English"}, {"code": "zh-Hans", "name": "Chinese"}])

    def do_POST(self):
        form = dict(urllib.parse.parse_qsl(self.rfile.read(int(self.headers["Content-Length"])).decode("utf-8")))
        self.server.forms.append(form)
        self.answer({"translatedText": "译文[%s→%s]:%s" % (form["source"], form["target"], form["q"])})

    def log_message(self, *arguments):
        pass


class TranslateServer(BrowserTest):
    def test_typed_line_is_translated_by_own_server(self):
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StandIn)
        server.forms = []
        threading.Thread(target=server.serve_forever, daemon=True).start()
        self.addCleanup(server.shutdown)
        os.environ.update(QUELLON_TRANSLATE_SERVER="http://127.0.0.1:%d/" % server.server_address[1],
                          QUELLON_TRANSLATE_KEY="e2e-key")
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
        wait_until(lambda: server.forms, "a request to the translation server")
        # The server's Chinese is the target the window chose from the server's list.
        self.assertEqual(server.forms[0], {"q": "good morning", "api_key": "e2e-key", "source": "auto",
                                           "target": "zh-Hans", "format": "text"})

        def result_text():
            self.program.click(window["x"] + RESULT_BOX[0], window["y"] + RESULT_BOX[1])
            self.program.key("ctrl+a", "ctrl+c")
            return self.program.clipboard().strip()

        wait_until(lambda: result_text() == "译文[auto→zh-Hans]:good morning", "the translation in the result box")


if __name__ == "__main__":
    harness.main()
