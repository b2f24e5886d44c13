// Another browser window in a process of its own. An address reaches the new process after "--",
// where the program reads only addresses: an address that looks like a switch
// ("--remote-debugging-port=9222") stays an address.
#pragma once

#include <QString>
#include <QStringList>

// The argument that ends the switches of the command line; everything after it is an address.
extern const QLatin1String AddressesFollow;

// The arguments of a new browser process showing url (none for its start page).
QStringList BrowserWindowArguments(const QString& url);
// Starts the program again, in the program folder, showing url; false when it did not start.
bool StartBrowserWindow(const QString& url = QString());
