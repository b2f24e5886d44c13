"""The screen capture's text box under real clicks and keys: colour, undo, keys with no box open."""

import harness
from harness import stays, wait_until
from test_tools import ScreenCaptureSteps

TEXT_TOOL, BLUE, BOXES = harness.CAPTURE_TEXT_TOOL, harness.CAPTURE_BLUE, harness.CAPTURE_TEXT_BOXES


class CaptureText(ScreenCaptureSteps):
    def region(self, box, width=50):
        """The first line of a text box at 9 points."""
        return self.program.screenshot().region(box[0], box[1], box[0] + width, box[1] + 14)

    def first_letter(self, box, test):
        return sum(1 for row in self.region(box, 12) for i in range(0, len(row), 3) if test(row[i:i + 3]))

    def painted(self, condition):
        """Waits until what the last step shows stays (also keeps the next click from being a
        second press within 200 ms, which finishes the capture)."""
        wait_until(lambda: stays(condition, 0.3), "the last step shown")

    def test_colour_undo_and_keys_without_box(self):
        dark = lambda pixel: max(pixel) < 90
        blue = lambda pixel: pixel[2] > pixel[0] + 80 and pixel[2] > pixel[1] + 80
        self.open_capture_and_select()
        self.program.click(*TEXT_TOOL)
        before = [self.region(box) for box in BOXES[:2]]
        self.program.drag(BOXES[0], (BOXES[0][0] + 2, BOXES[0][1] + 2), steps=2)
        self.program.type("WWWW")
        self.painted(lambda: self.first_letter(BOXES[0], dark) > 5)
        # A new colour shows on the whole text, the first letter far from the cursor too.
        self.program.click(*BLUE)
        self.painted(lambda: self.first_letter(BOXES[0], blue) > 5 and not self.first_letter(BOXES[0], dark))
        # A click elsewhere commits the text and opens an empty box; one undo takes the text back
        # and closes that box.
        self.program.click(*BOXES[1])
        self.program.key("ctrl+z")
        self.painted(lambda: self.region(BOXES[0]) == before[0])
        # Keys typed while no box is open are drawn nowhere, neither in the next box nor in the last.
        self.program.type("xyz")
        self.program.click(*BOXES[2])
        self.program.type("a")
        self.painted(lambda: self.first_letter(BOXES[2], dark) > 5)
        self.assertEqual([self.region(box) for box in BOXES[:2]], before)


if __name__ == "__main__":
    harness.main()
