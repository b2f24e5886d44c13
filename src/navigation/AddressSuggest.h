// The rules of the address bar that need no widget: what a released key does and how Up and Down
// walk the suggestion list.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One entry of the suggestion list: the address it opens and the page title shown beside it.
struct TSuggestionEntry {
    QString Address;
    QString Title;
};
using TSuggestionEntries = QList<TSuggestionEntry>;

enum class TAddressKeyAction {
    None,            // the key leaves the bar and the list alone
    FillSuggestions, // refill the list from history with the whole text
    Open,            // open the trimmed text in the current tab
    OpenInNewTab,    // open the trimmed text in a new tab (Ctrl alone held)
    Revert,          // hide the list, put the tab's own address back and select it
    SelectPrevious,  // Up: previous entry, wrapping to the last
    SelectNext,      // Down: next entry, wrapping to the first
};

// What the key-up of a virtual-key code does in the address bar with these modifiers held.
TAddressKeyAction AddressKeyAction(int virtualKey, bool ctrl, bool shift, bool alt);

// Up: the last entry when at the first or nothing selected, else the one above. -1 for an empty list.
int PreviousSuggestion(int selected, int count);
// Down: the next entry, the first after the last. -1 for an empty list.
int NextSuggestion(int selected, int count);

// True when the address is shown with the secure icon (starts with "https://", any letter case).
bool IsSecureAddress(const QString& address);
