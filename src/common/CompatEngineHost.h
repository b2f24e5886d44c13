// What a host of the compatibility engine is asked to do: set its emulation level at start-up and
// close its script-error windows. Neither has anything to do here; both are kept so that a
// platform that needs them fills them in.
#pragma once

#include <QString>

// Nothing to set here: the compatibility engine has no emulation level.
void SetBrowserEmulation(const QString& executableFileName);
// Kept though nothing calls it: the public helper set includes it.
// The compatibility engine shows no script-error windows: nothing to close.
void CloseScriptErrorWindows();
