"""Pages of different sites run in renderer processes of their own: a page cannot read another
site's memory through a shared renderer."""

import harness
from harness import BrowserTest, wait_until


def parent_and_command(pid):
    try:
        with open("/proc/%d/stat" % pid) as stat:
            parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            return parent, cmdline.read()
    except (OSError, IndexError, ValueError):
        return None, b""


def renderers(program):
    """The engine's renderer processes: those its zygote process forked."""
    processes = {pid: parent_and_command(pid) for pid in program.process_tree()}
    zygotes = {pid for pid, (_, command) in processes.items() if b"--type=zygote" in command}
    return [pid for pid, (parent, _) in processes.items() if parent in zygotes]


class SiteIsolation(BrowserTest):
    def test_sites_get_renderers_of_their_own(self):
        """The navigation page and pages of two other sites (host names under .localhost, on the
        same server) in three tabs: three renderer processes at least, not one for all."""
        expected = self.start_with_tabs()
        for host, title in (("a.localhost", "Site A"), ("b.localhost", "Site B")):
            page = self.server.add_page("%s.html" % host, title).replace("127.0.0.1", host)
            self.open_address(page, keys="ctrl+Return")
            expected.append((page, title))
        self.wait_pages(expected)
        wait_until(lambda: len(renderers(self.program)) >= 3,
                   "three renderer processes (now %r)" % renderers(self.program))


if __name__ == "__main__":
    harness.main()
