// What both page engines offer to their callers: navigation, reload, stop, the current address and
// title, zoom, find, print and the page source. Callers write each command once for both engines.
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

class TPageView {
public:
    virtual ~TPageView() = default;

    // The engine's widget inside its tab page.
    virtual QWidget* Widget() = 0;

    virtual void Navigate(const QString& url) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Reload() = 0;
    virtual void Stop() = 0;

    // The address of the main frame as the engine reports it now ("about:blank" before any load).
    virtual QString CurrentUrl() const = 0;
    virtual QString Title() const = 0;
    // The address of the page's icon as the engine found it; empty while it knows none.
    virtual QString IconUrl() const = 0;
    virtual bool IsLoading() const = 0;
    // True while one of the page's own message boxes (alert, confirm, prompt) is open: the engine
    // is inside the page's script then, and the view must not be deleted until the box returns.
    virtual bool DialogShowing() const = 0;
    // True when the engine refused the certificate of the page's own load (its error page shows).
    virtual bool CertificateRefused() const { return false; }

    // The engine's zoom factor (1.0 = 100%).
    virtual qreal ZoomFactor() const = 0;
    virtual void SetZoomFactor(qreal factor) = 0;
    // One zoom step of the engine, in (direction > 0) or out: Chromium's zoom level moves by 0.5,
    // the compatibility engine's body style zoom by 0.1. ResetZoom returns to the engine's 100%.
    virtual void StepZoom(int direction) = 0;
    virtual void ResetZoom() = 0;

    // Highlights the next (or previous) match; an empty text stops finding and clears the selection.
    // matches, when given, receives the number of the highlighted match (1-based, 0 when nothing
    // was found) and the number of matches (-1 when the engine does not count them).
    using TFindResult = std::function<void(int active, int total)>;
    virtual void Find(const QString& text, bool matchCase, bool forward, TFindResult matches = nullptr) = 0;
    virtual void StopFinding() = 0;

    // A JPEG picture (quality 90) of the page: Chromium what the view shows, the compatibility
    // engine the whole document. False when it cannot be written.
    virtual bool SavePicture(const QString& fileName) = 0;

    // Prints the page on an already set-up printer; done(true) when the engine printed it.
    virtual void Print(QPrinter* printer, std::function<void(bool)> done) = 0;
    // The page source (HTML) of the main frame, handed to the callback (later for Chromium).
    virtual void ToHtml(std::function<void(const QString&)> callback) const = 0;

    // The engine's developer tools for this page in a new view, a child of parent that the caller
    // places and deletes; nullptr when the engine has none. CloseDevTools detaches the tools from
    // the page before the caller deletes that view.
    virtual QWidget* OpenDevTools(QWidget* /*parent*/) { return nullptr; }
    virtual void CloseDevTools() {}

    // A page kept hidden behind the other engine's view: frozen, it runs no script and plays no
    // sound; unfrozen it resumes where it stopped. Engines without such states keep running.
    virtual void SetFrozen(bool /*frozen*/) {}
    // Sleeping tabs: whether the page made sound lately, whether the engine would let it be
    // discarded (it refuses pages with typed form text or an open box), and giving its memory
    // back; a discarded page loads again with its back list when it is unfrozen.
    virtual bool RecentlyAudible() const { return false; }
    virtual bool EngineAllowsDiscard() const { return false; }
    virtual void Discard() {}
};
