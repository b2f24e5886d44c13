// Modules of the program folder (lib/lib<name>.so) that are opened only when first needed, so the
// libraries behind them (the compatibility engine, the sound player) are not loaded by a browser
// that does not use them.
#pragma once

#include <QLibrary>
#include <QStringList>

// Folders searched for modules: lib/ beside the executable, then lib/ one level up (programs of
// the build tree's tests/ and bench/ folders).
QStringList ModuleFolders();

// The address of the exported function `symbol` of the module `name` found in the first of the
// folders that holds one; nullptr when none does (the reasons are logged). A module once opened
// stays loaded for the rest of the process.
QFunctionPointer ResolveModuleFunction(const QString& name, const char* symbol,
                                       const QStringList& folders = ModuleFolders());
