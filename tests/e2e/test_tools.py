"""The tools row: the screen capture puts the selection on the clipboard or, with Esc, nothing;
the calculator evaluates typed expressions."""

import harness
from harness import (BrowserTest, CALCULATOR_BUTTON, CAPTURE_BUTTON, SCREEN_HEIGHT, SCREEN_WIDTH,
                     TRANSLATOR_BUTTON, stays, wait_until)

# A selection drawn on the frozen screen, and the capture's first tool (rectangle) in the tool
# panel that opens 5 pixels below the selection, at its left edge.
SELECTION, RECTANGLE_TOOL = harness.CAPTURE_SELECTION, harness.CAPTURE_RECTANGLE_TOOL


def png_size(data):
    """Width and height from a PNG's header."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")


def png_pixel(data, x, y):
    """One pixel of a PNG as (r, g, b), decoded by ImageMagick."""
    raw = harness.run(["convert", "png:-", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
                      input=data, check=True).stdout
    return tuple(raw[:3])


class ScreenCaptureSteps(BrowserTest):
    def clipboard_png(self):
        result = harness.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"],
                             env=self.program.x_env(), timeout=10)
        return result.stdout if result.returncode == 0 else b""

    def capture_window(self):
        """The capture window: a window of the program covering the whole screen."""
        for window in self.program.dialogs():
            if (window["width"], window["height"]) == (SCREEN_WIDTH, SCREEN_HEIGHT):
                return window
        return None

    def open_capture_and_select(self):
        self.start()
        self.wait_caption("网址导航")
        self.program.click(*CAPTURE_BUTTON)
        window = wait_until(self.capture_window, "the capture window")
        self.program.focus(window)
        self.program.drag(SELECTION[:2], SELECTION[2:])


class ScreenCapture(ScreenCaptureSteps):
    def test_rectangle_on_selection_goes_to_clipboard(self):
        self.open_capture_and_select()
        self.program.click(*RECTANGLE_TOOL)
        self.program.drag((SELECTION[0] + 30, SELECTION[1] + 20), (SELECTION[0] + 120, SELECTION[1] + 80))
        # A double-click on the picture outside the selection finishes.
        self.program.xdotool("mousemove", "--sync", *harness.CAPTURE_OUTSIDE, "click", "--repeat", 2, "--delay", 60, 1)
        wait_until(lambda: not self.capture_window(), "the capture window to close")
        png = wait_until(self.clipboard_png, "an image on the clipboard")
        self.assertEqual(png_size(png), (SELECTION[2] - SELECTION[0], SELECTION[3] - SELECTION[1]))
        # The rectangle's top edge, 2 pixels wide and red, softened by JPEG.
        red, green, blue = png_pixel(png, 75, 20)
        self.assertTrue(red > 130 and red > green + 80 and red > blue + 80, (red, green, blue))

    def test_escape_leaves_clipboard_alone(self):
        self.open_capture_and_select()
        self.program.set_clipboard("kept text")
        self.program.key("Escape")
        wait_until(lambda: not self.capture_window(), "the capture window to close")
        self.assertEqual(self.program.clipboard(), "kept text")
        self.assertIsNone(png_size(self.clipboard_png()))


class CalculatorSteps(BrowserTest):
    def open_calculator(self):
        self.start()
        self.wait_caption("网址导航")
        self.program.click(*CALCULATOR_BUTTON)
        window = wait_until(lambda: self.program.window_named("计算器"),
                            "the calculator")
        self.program.focus(window)
        return window


class Calculator(CalculatorSteps):
    """The result field cannot be copied: its pixels are compared with those of a known result."""

    def changed_result(self, window, empty):
        pixels = self.result_pixels(window)
        return pixels if pixels != empty else None

    def result_pixels(self, window):
        """EditResult: the 350-pixel line under the 70-pixel expression, 8 pixels into the window."""
        left, top = window["x"] + 8, window["y"] + 8 + 70
        return self.program.screenshot().region(left, top, left + 350, top + 24)

    def test_expression_and_division_by_zero(self):
        window = self.open_calculator()
        empty = self.result_pixels(window)
        self.program.type("1+2*3=")
        seven = wait_until(lambda: self.changed_result(window, empty), "a result for 1+2*3")
        # The same figure as evaluating "7" alone, and another than "8". Esc clears (the window
        # stays): the old 7 is gone before the new one can match it.
        self.program.key("Escape")
        wait_until(lambda: self.result_pixels(window) == empty, "Esc to clear the result")
        self.program.type("7=")
        wait_until(lambda: self.result_pixels(window) == seven, "7 as the result of 7")
        self.program.key("Escape")
        wait_until(lambda: self.result_pixels(window) == empty, "Esc to clear the result")
        self.program.type("8=")
        wait_until(lambda: self.result_pixels(window) not in (seven, empty), "8 as the result of 8")
        # Division by zero empties the result shown so far: 8 becomes 8+1/0.
        self.program.type("+1/0=")
        wait_until(lambda: self.result_pixels(window) == empty, "an empty result for 1/0")


class Translator(BrowserTest):
    def test_button_opens_translator_once(self):
        self.start()
        self.wait_caption("网址导航")
        translators = lambda: [w for w in self.program.dialogs() if w["name"] == "翻译文字"]
        self.program.click(*TRANSLATOR_BUTTON)
        wait_until(translators, "the translator")
        # Modal: a second click on the button opens no second window.
        self.program.click(*TRANSLATOR_BUTTON)
        self.assertTrue(stays(lambda: len(translators()) == 1, 1))


if __name__ == "__main__":
    harness.main()
