// Window message ids exchanged between the program's own windows, and the event that carries them.
// The ids are the product's fixed numbers (WM_USER + n); they are valid QEvent types.
#pragma once

#include <QEvent>
#include <QtGlobal>
#include <utility>

enum TMessageId : int {
    WM_HISTORY_LOADED = 0x7E9,    // history manager, to itself
    WM_OPEN_URL = 0x7EA,          // open an address in a new tab
    WM_FAVORITES_CHANGED = 0x7EB, // rebuild the favorites bar and menu
    WM_MANAGE_FAVORITES = 0x7EC,  // open the favorites manager
    WM_BOSS_KEY_CHANGED = 0x7ED,  // register the boss key again
    WM_DEFERRED_INIT = 0x7EE,     // deferred start-up
    WM_CACHE_CLEARED = 0x7EF,     // cache cleaner, to itself
    WM_FIND_IN_PAGE = 0x7F0,      // find in the current page
    WM_DOWNLOAD_PROGRESS = 0x7F1, // download worker -> queue
    WM_DOWNLOAD_FINISHED = 0x7F2, // download worker -> queue, queue -> main window
    WM_FAVICON_READY = 0x7F3,     // favicon fetcher -> main window
    WM_POPUP_CREATED = 0x7F4,     // engine popup -> main window
    WM_STARTUP_SETTINGS = 0x7F5,  // start-up settings text
    WM_NEW_DOWNLOAD = 0x7F6,      // engine download -> new-download dialog
    WM_CLOSE_TAB = 0x7F7,         // close request for a page index
    WM_IE_NEW_WINDOW = 0x7F8,     // compatibility engine opened a window
    WM_FIND_CLOSED = 0x7F9,       // the find window closed
    WM_AUTH_REQUEST = 0x7FA,      // credentials needed
    WM_DOWNLOAD_FAILED = 0x7FB,   // download worker gave up after its last attempt
    WM_FAVICON_FAILED = 0x7FC,    // favicon fetcher found no icon (error, no icon, too large)
};

// A posted window message: the two plain parameters of the original message.
// Post it with QCoreApplication::postEvent(receiver, new TMessageEvent(...)).
class TMessageEvent : public QEvent {
public:
    explicit TMessageEvent(int id, qintptr wParam = 0, qintptr lParam = 0)
        : QEvent(static_cast<QEvent::Type>(id)), WParam(wParam), LParam(lParam) {}
    int Id() const { return static_cast<int>(type()); }
    const qintptr WParam;
    const qintptr LParam;
};

// A posted message that owns its record: the receiver reads Record, the event frees it.
template <class T> class TRecordMessage : public TMessageEvent {
public:
    TRecordMessage(int id, T record, qintptr lParam = 0)
        : TMessageEvent(id, 0, lParam), Record(std::move(record)) {}
    T Record;
};
