# The Debian package: `cpack -G DEB` in the build folder makes quellon_<version>_amd64.deb from the
# installation rules (cmake/Install.cmake) with the prefix /usr: the program folder
# /usr/lib/quellon/, the link /usr/bin/quellon, the desktop entry, icons and AppStream metainfo.
# Its dependencies on shared libraries are computed by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "quellon")
set(CPACK_PACKAGE_VENDOR "Brisvane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tabbed web browser with two page engines (Chinese interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "Quellon is a tabbed desktop web browser with a Simplified Chinese user interface. Every tab
shows its page with Chromium (QtWebEngine) or with a compatibility engine (QtWebKit) for older
sites, and the engine last used for a site is remembered. It keeps favorites, history and the
download list per user, downloads files itself with resume and retries, and offers screen
capture, a translator and a calculator.")
set(CPACK_PACKAGE_CONTACT "Quellon maintainers <quellon@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_INSTALL_PREFIX "/usr")
# The installation rules see the real prefix (/usr) and write into the staging folder through
# DESTDIR, so that the desktop entry names /usr/bin/quellon.
set(CPACK_SET_DESTDIR ON)
# Debug information stays in the build: the package carries stripped programs.
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "web")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening downloads and registering as the default browser need the desktop's helpers (xdg-open,
# xdg-settings); Chinese input needs an input method with a Qt 5 frontend; pages need CJK fonts;
# Qt's own dialogs speak Chinese with its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, fcitx5-frontend-qt5 | ibus, fonts-noto-cjk, qttranslations5-l10n")
include(CPack)
