// What a host of the compatibility engine is asked to do: nothing on this platform.
#include "common/CompatEngineHost.h"

void SetBrowserEmulation(const QString&) {
    // The compatibility engine always renders in standards mode: no level to set.
}

void CloseScriptErrorWindows() {
    // The compatibility engine reports script errors to the log, never in windows of its own.
}
