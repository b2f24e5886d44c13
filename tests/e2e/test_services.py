"""The vendor's services from the menus: the bank list, parcel tracking (each of its three tabs) and
the software market open their pages of the bundled site, a click on a page's link opens it in a
new tab (the bank on the compatibility engine) and closes the window; the market's downloads go
through the browser's own download dialog, a second one of the same address is refused; the About
box; Internet Options says when no network settings program is available, and hosts the program's
window and closes with it when there is one."""

import os
import re
import shutil

import harness
from harness import BrowserTest, wait_until

from harness import (BANK_FIRST_LINK, COURIER_FIRST_LINK, COURIER_TABS, HELP_MENU, MARKET_BAR, MARKET_CLOSE,
                     MARKET_FIRST_DOWNLOAD, MARKET_SUBMIT, SITE_BUTTON_BLUE as BUTTON_BLUE,
                     SITE_PAGE_CORNER as PAGE_CORNER, SITE_PAGE_GREY as PAGE_GREY, TOOLS_MENU)

# Up from the top of the tools menu walks its last items: 软件市场, 快递, 网银, 选项, Internet 选项.
MARKET_KEYS, COURIER_KEYS, BANK_KEYS, INTERNET_OPTION_KEYS = 1, 2, 3, 5
COURIER_FIRST_CARRIERS = ["www.sf-express.com", "www.deppon.com", "www.dhl.com"]
SAVE_DIALOG = harness.SAVE_DIALOG
HOSTED_TITLE = "NetSettingsTest"
# The host's caption ends in a blank, which the window list trims.
HOST_CAPTION = "Internet 属性"


def file_content(path):
    try:
        with open(path, "rb") as data:
            return data.read()
    except OSError:
        return None


class SiteToolsSteps(BrowserTest):
    """Steps shared by the scenarios on the tool windows showing the bundled site's pages."""

    def site_page(self, name):
        return "file://" + os.path.join(self.program.folder, "res/site", name)


    def outside_sites_on_page_server(self):
        """Points every outside address of the bundled site's pages at the page server: a page
        "outside/<host>.html" titled with the host (outside(host)) stands in for each, so a click
        reaches nothing but 127.0.0.1."""
        site = os.path.join(self.program.folder, "res/site")
        for name in os.listdir(site):
            if name.endswith(".html"):
                with open(os.path.join(site, name), encoding="utf-8") as page:
                    text = page.read()
                hosts = set(re.findall(r'"https?://([^/"]+)[^"]*"', text))
                for host in hosts:
                    self.server.add_page("outside/%s.html" % host, host)
                text = re.sub(r'"https?://([^/"]+)[^"]*"', lambda m: '"%s"' % self.outside(m.group(1)), text)
                with open(os.path.join(site, name), "w", encoding="utf-8") as page:
                    page.write(text)

    def outside(self, host):
        return self.server.url("outside/%s.html" % host)

    def window_at(self, name, place):
        window = self.program.window_named(name)
        return window if window and (window["x"], window["y"]) == place else None

    def open_from_menu(self, menu, ups, caption):
        self.program.focus()
        self.program.click(*menu)
        self.program.key(*(["Up"] * ups + ["Return"]))
        window = wait_until(lambda: self.program.window_named(caption), "the window " + caption)
        self.program.focus(window)
        return window

    def wait_loaded(self, window, url, title):
        """The page is in the engine's list and painted (a click before that would be lost)."""
        self.wait_page_title(url, title)
        self.wait_painted(window, PAGE_CORNER, PAGE_GREY)

    def wait_painted(self, window, point, colour):
        """The page's stylesheet is in: its control at point shows the colour."""
        x, y = window["x"] + point[0], window["y"] + point[1]
        wait_until(lambda: self.program.screenshot().pixel(x, y) == colour, "the page painted")

    def start_on_navigation(self):
        self.start()
        self.wait_caption("网址导航")


class SiteTools(SiteToolsSteps):
    def test_bank_link_opens_on_the_compatibility_engine(self):
        self.outside_sites_on_page_server()
        self.start_on_navigation()
        bank = self.open_from_menu(TOOLS_MENU, BANK_KEYS, "安全网银")
        self.wait_loaded(bank, self.site_page("netbank.html"), "安全网银")
        self.program.click_in(bank, BANK_FIRST_LINK)
        wait_until(lambda: not self.program.window_named("安全网银"), "the bank window to close")
        # The bank's site (its stand-in, titled with its host) in the active tab, and not a
        # Chromium page: the compatibility engine shows it.
        self.wait_caption("www.icbc.com.cn")
        self.assertNotIn(self.outside("www.icbc.com.cn"), [url for url, _ in self.program.pages()])

    def carrier_list(self, courier):
        left, top = courier["x"] + 10, courier["y"] + 40
        return self.program.screenshot().region(left, top, left + 300, top + 160)

    def test_courier_tabs_open_their_carriers(self):
        self.outside_sites_on_page_server()
        self.start_on_navigation()
        for category, carrier in enumerate(COURIER_FIRST_CARRIERS):
            courier = self.open_from_menu(TOOLS_MENU, COURIER_KEYS, "快递")
            self.wait_loaded(courier, self.site_page("courier.html#category/0"), "快递")
            self.wait_page_title(self.site_page("courier.html#category/%d" % category), "快递")
            if category:
                # The tab's own carriers replace the first tab's list on screen.
                first_list = self.carrier_list(courier)
                self.program.click_in(courier, COURIER_TABS[category])
                wait_until(lambda: self.carrier_list(courier) != first_list, "the tab's carriers on screen")
                self.wait_painted(courier, PAGE_CORNER, PAGE_GREY)
            self.program.click_in(courier, COURIER_FIRST_LINK)
            wait_until(lambda: not self.program.window_named("快递"), "the courier window to close")
            self.wait_page_title(self.outside(carrier), carrier)

    def test_market_submit_button_bar_drag_and_close(self):
        self.start_on_navigation()
        market = self.open_from_menu(TOOLS_MENU, MARKET_KEYS, "软件市场")
        # Dragged by its bar: the window follows the mouse.
        x, y = market["x"] + MARKET_BAR[0], market["y"] + MARKET_BAR[1]
        self.program.drag((x, y), (x - 80, y + 60), steps=2)
        place = (market["x"] - 80, market["y"] + 60)
        moved = wait_until(lambda: self.window_at("软件市场", place), "the market moved by -80, 60")
        self.program.click_in(moved, MARKET_CLOSE)
        wait_until(lambda: not self.program.window_named("软件市场"), "the market to close")

        market = self.open_from_menu(TOOLS_MENU, MARKET_KEYS, "软件市场")
        self.wait_loaded(market, self.site_page("software.html"), "软件市场")
        self.program.click_in(market, MARKET_SUBMIT)
        wait_until(lambda: not self.program.window_named("软件市场"), "the market to close")
        self.wait_page_title(self.site_page("software-submit.html"), "提供软件")

    def test_market_download_goes_through_the_download_dialog(self):
        # The vendor's site on the page server: the shipped site, with the market page where the
        # vendor's dynamic page is.
        site = os.path.join(self.program.folder, "res/site")
        shutil.copytree(site, self.server.root, dirs_exist_ok=True)
        home = os.path.join(self.server.root, "home")
        os.makedirs(home, exist_ok=True)
        shutil.copy(os.path.join(site, "software.html"), os.path.join(home, "index.php"))
        for name in ("site.css", "site.js"):
            shutil.copy(os.path.join(site, name), home)
        os.environ["QUELLON_SITE_ROOT"] = self.server.url("")
        self.addCleanup(os.environ.pop, "QUELLON_SITE_ROOT", None)
        self.download_from_market(self.server.url("home/index.php?s=/Software/index"))

    def test_offline_market_download_copies_the_bundled_file(self):
        self.download_from_market(self.site_page("software.html"))

    def download_from_market(self, market_page):
        with open(os.path.join(self.program.folder, "res/site/files/quellon-tools.zip"), "rb") as offered:
            content = offered.read()
        folder = os.path.join(self.program.folder, "downloads")
        os.makedirs(folder)
        self.program.set_config(7, 1)
        self.program.set_config(8, folder + "/")
        self.start_on_navigation()

        market = self.open_from_menu(TOOLS_MENU, MARKET_KEYS, "软件市场")
        self.wait_loaded(market, market_page, "软件市场")
        self.wait_painted(market, MARKET_FIRST_DOWNLOAD, BUTTON_BLUE)
        self.program.click_in(market, MARKET_FIRST_DOWNLOAD)
        dialog = wait_until(lambda: self.program.window_named(SAVE_DIALOG), "the new-download dialog")
        self.program.focus(dialog)
        self.program.key("Return")
        path = os.path.join(folder, "quellon-tools.zip")
        wait_until(lambda: file_content(path) == content, "the downloaded file")

        # The same address again: refused with a message box, no second dialog.
        self.program.focus(market)
        self.program.click_in(market, MARKET_FIRST_DOWNLOAD)
        message = wait_until(lambda: self.program.window_named("Quellon"), "the already-queued message")
        self.assertIsNone(self.program.window_named(SAVE_DIALOG))
        self.program.focus(message)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named("Quellon"), "the message to close")

    def test_about_box(self):
        self.start_on_navigation()
        self.open_from_menu(HELP_MENU, 1, "关于Quellon")
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named("关于Quellon"), "the About box to close")


class InternetOptions(BrowserTest):

    def open_internet_options(self, settings):
        os.environ["QUELLON_NETWORK_SETTINGS"] = settings
        self.addCleanup(os.environ.pop, "QUELLON_NETWORK_SETTINGS", None)
        self.start()
        self.wait_caption("网址导航")
        self.program.click(*TOOLS_MENU)
        self.program.key(*(["Up"] * INTERNET_OPTION_KEYS + ["Return"]))
        return wait_until(lambda: self.program.window_named(HOST_CAPTION), "the Internet Options host")

    def test_no_program_says_so(self):
        self.open_internet_options("quellon-no-such-settings-program|X")
        message = wait_until(lambda: self.program.window_named("Quellon"), "the none-available message")
        self.program.focus(message)
        self.program.key("Return")
        wait_until(lambda: not self.program.window_named(HOST_CAPTION), "the host to close with the message")

    def open_hosted_program(self):
        """Internet Options with a stand-in settings program whose window it takes in."""
        host = self.open_internet_options("xmessage -title %s -buttons OK -center Settings|%s"
                                          % (HOSTED_TITLE, HOSTED_TITLE))

        def hosted():
            tree = harness.run(["xwininfo", "-tree", "-id", str(host["id"])], text=True,
                               env=self.program.x_env()).stdout
            return HOSTED_TITLE in tree

        wait_until(hosted, "the program's window inside the host")
        return host

    def program_running(self):
        for pid in self.program.process_tree():
            try:
                with open("/proc/%d/comm" % pid) as name:
                    if name.read().strip() == "xmessage":
                        return True
            except OSError:
                pass
        return False

    def test_program_button_closes_the_host(self):
        host = self.open_hosted_program()
        # Its own button ends it, and the host closes with it.
        self.program.click(host["x"] + 20, host["y"] + 40)
        wait_until(lambda: not self.program.window_named(HOST_CAPTION), "the host to close with the program")
        wait_until(lambda: not self.program_running(), "the program to end")

    def test_closing_the_host_closes_the_program(self):
        host = self.open_hosted_program()
        self.assertTrue(self.program_running())
        self.program.focus(host)
        self.program.key("Escape")
        wait_until(lambda: not self.program.window_named(HOST_CAPTION), "the host to close")
        wait_until(lambda: not self.program_running(), "the program to end with the host")


if __name__ == "__main__":
    harness.main()
