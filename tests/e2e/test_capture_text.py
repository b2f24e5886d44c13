"""The screen capture's text tool, driven by real clicks and keys: the colour chosen while a box is
open shows on its whole text, a committed text is one undo step, and keys typed while no box is
open are drawn nowhere."""

import harness
import test_tools
from harness import BrowserTest, stays, wait_until

# The tool panel opens below the selection of test_tools (300,300)-(500,400): the text tool is the
# sixth button of its first row, blue the fifth colour of the grid's second row.
TEXT_TOOL = (466, 421)
RECTANGLE_TOOL = test_tools.RECTANGLE_TOOL
BLUE = (519, 463)
# Places of text boxes inside the selection, one line apart.
FIRST_BOX = (320, 320)
SECOND_BOX = (320, 372)
THIRD_BOX = (420, 372)


def line_region(box, width=50):
    """The first line of a text box at 9 points."""
    return box[0], box[1], box[0] + width, box[1] + 14


def is_blue(pixel):
    red, green, blue = pixel
    return blue > red + 80 and blue > green + 80


def is_dark(pixel):
    return max(pixel) < 90


class CaptureText(BrowserTest):
    capture_window = test_tools.ScreenCapture.capture_window
    drag = test_tools.ScreenCapture.drag
    open_capture_and_select = test_tools.ScreenCapture.open_capture_and_select

    def open_text_tool(self):
        self.open_capture_and_select()
        self.program.click(*TEXT_TOOL)

    def open_box(self, place):
        """The first box opens on a short drag (a bare click on the selection does not draw yet)."""
        self.program.drag(place, (place[0] + 2, place[1] + 2), steps=2)

    def click_apart(self, place, shown):
        """A click on the selection that is no double press: two presses within 200 ms of each
        other finish the capture, so what the last steps show has to stay for longer first."""
        wait_until(lambda: stays(shown, 0.3), "the last steps shown")
        self.program.click(*place)

    def region(self, box):
        return self.program.screenshot().region(*line_region(box))

    def count(self, box, test):
        left, top, right, bottom = line_region(box, width=12)
        shot = self.program.screenshot()
        return sum(1 for x in range(left, right) for y in range(top, bottom) if test(shot.pixel(x, y)))

    def test_colour_shows_on_the_whole_open_text(self):
        self.open_text_tool()
        self.open_box(FIRST_BOX)
        self.program.type("WWWW")
        # Once the text has been painted in black, the colour is chosen.
        wait_until(lambda: stays(lambda: self.count(FIRST_BOX, is_dark) > 5, 0.5), "the text in black")
        self.program.click(*BLUE)
        # The first letter, far from the cursor, turns blue too.
        wait_until(lambda: self.count(FIRST_BOX, is_blue) > 5, "the first letter in blue")
        self.assertEqual(self.count(FIRST_BOX, is_dark), 0)

    def test_committed_text_is_one_undo_step(self):
        self.open_text_tool()
        before = self.region(FIRST_BOX)
        self.open_box(FIRST_BOX)
        self.program.type("WWWW")
        # A click elsewhere commits the text and opens an empty box there.
        self.click_apart(SECOND_BOX, lambda: self.count(FIRST_BOX, is_dark) > 5)
        self.program.key("ctrl+z")
        wait_until(lambda: self.region(FIRST_BOX) == before, "the text undone")

    def test_keys_without_open_box_are_drawn_nowhere(self):
        self.open_text_tool()
        before = [self.region(box) for box in (FIRST_BOX, SECOND_BOX)]
        self.open_box(FIRST_BOX)
        self.program.type("WW")
        wait_until(lambda: stays(lambda: self.count(FIRST_BOX, is_dark) > 5, 0.3), "the text")
        # Another tool commits the text and closes the box; the keys typed then go nowhere.
        self.program.click(*RECTANGLE_TOOL)
        committed = self.region(FIRST_BOX)
        self.program.type("xyz")
        self.program.click(*TEXT_TOOL)
        self.click_apart(THIRD_BOX, lambda: self.region(FIRST_BOX) == committed)
        self.program.type("a")
        wait_until(lambda: self.count(THIRD_BOX, is_dark) > 5, "the new box's text")
        self.assertEqual(self.region(FIRST_BOX), committed)
        self.assertEqual(self.region(SECOND_BOX), before[1])


if __name__ == "__main__":
    harness.main()
