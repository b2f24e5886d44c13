// What a page may navigate to: addresses of other programs (mailto:, tel:, a program's own scheme)
// open only after the user agreed, and a page of the web never opens a file of this computer.
#pragma once

#include <QString>
#include <QUrl>

class TLinkPolicy final {
public:
    TLinkPolicy() = delete;

    // True for a scheme neither engine shows itself: its addresses go to another program.
    static bool IsExternal(const QUrl& url);
    // True when a navigation the page started (not typed, not opened by the program) would take a
    // page of the web (http/https) to a file: address.
    static bool RefusesLocal(const QUrl& from, const QUrl& to);
    // The desktop's program for the scheme (xdg-mime's answer, ".desktop" left off); empty when
    // there is none or xdg-mime does not answer within a second.
    static QString HandlerOf(const QString& scheme);
    // The question asked before an address goes to another program.
    static QString Question(const QUrl& url, const QString& handler);
    // Asks the user (a page message box, Yes / No) and hands the address to the desktop only on Yes.
    // True when it was handed over.
    static bool AskAndOpen(const QUrl& url);
    // True unless a local page (a document of a file: origin, frames of its own included) would
    // reach a remote address other than the one its frame is navigating to: its scripts, pictures
    // and styles stay on this computer, its links still open.
    static bool LocalPageMayRequest(bool localPage, const QUrl& navigation, const QUrl& target);
    // The decision of an engine's navigation check: false for an external address (asked about,
    // and opened on Yes, when the user clicked or typed it; else refused silently, so no page
    // starts a program by itself) and for a file address from a page of the web.
    static bool PageMayNavigate(const QUrl& from, const QUrl& to, bool userAsked);
};
