// The built-in start-up texts the main window hands to itself: the start-up settings object and
// the list of hosts that always open with the compatibility engine. Never written to the data file.
#pragma once

#include <QString>

// The start-up settings JSON object (keys "2": status-bar link as JSON text, "4": search hint,
// "6": the hint's address; the other keys are carried but not used).
QString BuiltInStartupSettings();
// JSON array of {"domain": host} objects for the per-host engine memory.
QString BuiltInEngineDomains();
